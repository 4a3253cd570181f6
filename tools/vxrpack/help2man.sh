#!/bin/sh
# help2man.sh VXRPACK VERSION OUT
# Writes vxrpack's manual page from the text of `vxrpack --help`, so that the
# two never disagree: the usage line becomes the synopsis, the first sentence
# of the next paragraph the name line, that paragraph the description, and
# each line of its own ending in ':' ("commands:") a section, kept as laid out.
set -eu
"$1" --help | awk -v version="$2" '
function roff(line) {
  gsub(/\\/, "\\e", line)
  gsub(/-/, "\\-", line)
  if (line ~ /^[.'\'']/) line = "\\&" line
  return line
}
function head(   name) {
  name = substr(description, 1, index(description, ":") - 1)
  printf ".TH VXRPACK 1 \"\" \"vxrpack %s\" \"User Commands\"\n", version
  print ".SH NAME"
  print "vxrpack \\- " tolower(substr(name, 1, 1)) substr(name, 2)
  print ".SH SYNOPSIS"
  print ".B vxrpack"
  print roff(synopsis)
  print ".SH DESCRIPTION"
  print roff(description)
}
NR == 1 { synopsis = $0; sub(/^usage: vxrpack /, "", synopsis); next }
/^[a-z][a-z ]*:$/ {
  if (sections++) print ".fi"; else head()
  print ".SH " toupper(substr($0, 1, length($0) - 1))
  print ".nf"
  blanks = 0
  next
}
!sections { if ($0 != "") description = description (description == "" ? "" : "\n") $0; next }
$0 == "" { blanks++; next }
{ for (; blanks > 0; blanks--) print ""; print roff($0) }
END { if (sections) print ".fi" }
' >"$3.tmp"
mv "$3.tmp" "$3"
