# Run by CPack on the staged tree of the Debian package, before it packs it:
# what Debian's policy asks for beyond what `cmake --install` puts in place,
# the copyright file, the changelog and the manual page compressed.
set(usr ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr)
set(doc ${usr}/share/doc/${CPACK_PACKAGE_NAME})
file(MAKE_DIRECTORY ${doc})
file(COPY ${CPACK_VXR_PACKAGING_DIR}/copyright DESTINATION ${doc})
configure_file(${CPACK_VXR_PACKAGING_DIR}/changelog.in ${doc}/changelog @ONLY)
# -n: no name or time stamp in the header, so the same input packs the same.
execute_process(COMMAND gzip -9nf ${doc}/changelog ${usr}/share/man/man1/vxrpack.1 COMMAND_ERROR_IS_FATAL ANY)
