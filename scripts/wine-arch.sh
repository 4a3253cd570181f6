#!/usr/bin/env bash
# Prints the Windows build whose programs Wine can run on this machine: win32
# where 32-bit programs run, natively or through qemu-user registered with
# binfmt_misc (the shipped build), else win64.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then echo win32; else echo win64; fi
