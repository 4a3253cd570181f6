#!/usr/bin/env bash
# What the setup stub's bytes are made of, by area: our code per folder, the C
# runtime, libstdc++, libgcc, the import table, resources, relocations, and
# the PE headers with the section padding. Reads what the Windows build left
# (setup-stub.map, setup-stub.exe and the objects' symbol tables); builds
# nothing.
#
#   bench/stub/size_by_area.sh [BUILD_DIR] [--top N]
#
# BUILD_DIR defaults to build/win32. --top N also lists the N largest input
# sections, the place to start when looking for what to cut.
#
# With link-time optimisation the linker sees one object of generated code, so
# the map cannot name the object a function came from. The stub is linked with
# -ffunction-sections, so every function and constant keeps a section named
# after its symbol, and the symbol tells the folder: first through the symbol
# tables of our objects (gcc-nm reads their LTO symbol tables), then, for
# file-local names that no symbol table lists, through the one folder whose
# sources name it. Code that LTO inlined counts where it ended up. The strings
# and literals that LTO pools together keep no name: they form their own row.
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
build=$root/build/win32
top=0
while [ $# -gt 0 ]; do
  case $1 in
    --top) top=$2; shift 2 ;;
    *) build=$(cd "$1" && pwd); shift ;;
  esac
done
map=$build/setup-stub.map
exe=$build/setup-stub.exe
for f in "$map" "$exe"; do
  [ -f "$f" ] || { echo "size_by_area: $f is missing; build the stub first" >&2; exit 1; }
done

tools=
for t in i686-w64-mingw32 x86_64-w64-mingw32; do
  case $("$t-objdump" -f "$exe" 2>/dev/null | sed -n 's/.*file format //p') in
    pei-i386) tools=$t underscore=_ ;;
    pei-x86-64) tools=$t underscore= ;;
  esac
  [ -z "$tools" ] || break
done
[ -n "$tools" ] || { echo "size_by_area: $exe is not a MinGW PE image" >&2; exit 1; }

work=$(mktemp -d)
trap '[ -n "${KEEP:-}" ] || rm -rf "$work"' EXIT

# symbol -> folder, from our objects. A symbol that several folders define
# (inline functions, templates) is marked '*' and settled later.
for folder in wizard engine registration chooser codec platform setup; do
  find "$build/$folder" -name '*.obj' 2>/dev/null | while read -r obj; do
    case $obj in
      */platform/win32/runtime/*) area=platform/win32/runtime/ ;;
      */platform/*) area=platform/win32/ ;;
      *) area=$folder/ ;;
    esac
    "$tools-gcc-nm" --defined-only "$obj" 2>/dev/null |
      awk -v area="$area" -v u="$underscore" 'NF >= 3 { s = $3; if (u != "" && substr(s, 1, 1) == u) s = substr(s, 2); print s, area }'
  done
done | sort -u | awk '{ if ($1 == last) { area = "*" } else { if (NR > 1) print last, area; last = $1; area = $2 } } END { if (NR) print last, area }' >"$work/symbols"

# Input sections as: output-section size object symbol. Sections of the map
# after "Linker script and memory map" are the ones that were kept.
awk '
  function emit(size, obj) {
    if (size == 0) return
    sym = insec; sub(/^\.[a-z_]+(\.startup|\.unlikely)?[$.]?/, "", sym)
    if (sym == "") sym = "-"
    gsub(/ /, "_", obj)
    print outsec, size, obj, sym
  }
  function hex(s,    i, c, n) {
    n = 0; s = tolower(substr(s, 3))
    for (i = 1; i <= length(s); i++) { c = index("0123456789abcdef", substr(s, i, 1)) - 1; n = n * 16 + c }
    return n
  }
  /^Linker script and memory map/ { on = 1; next }
  !on { next }
  /^\.[^ ]+/ { outsec = $1; insec = ""; next }
  /^ \*fill\*/ { print outsec, hex($3), "*fill*", "-"; next }
  /^ \.[^ ]+ +0x[0-9a-f]+ +0x[0-9a-f]+ / { insec = $1; obj = $4; for (i = 5; i <= NF; i++) obj = obj " " $i; emit(hex($3), obj); next }
  /^ \.[^ ]+$/ { insec = $1; pending = 1; next }
  pending && /^ +0x[0-9a-f]+ +0x[0-9a-f]+ / { obj = $3; for (i = 4; i <= NF; i++) obj = obj " " $i; emit(hex($2), obj); pending = 0; next }
  /^ +0x[0-9a-f]+ +0x[0-9a-f]+ +(LONG|SHORT|BYTE|QUAD)/ { print outsec, hex($2), "linker-data", "-"; next }
  { pending = 0 }
' "$map" >"$work/sections"

# Names that common/ (header-only, so compiled into its users' objects)
# declares at namespace level: classes and the functions and constants that
# open a line.
{
  grep -ohE '\b(class|struct|enum)( class)? +[A-Za-z_][A-Za-z0-9_]*' "$root"/common/*.h | awk '{ print $NF }'
  grep -hE '^[A-Za-z]' "$root"/common/*.h | grep -vE '^(namespace|#|}|template|using)' |
    sed -nE 's/^([^(=]*[^A-Za-z0-9_(=])?([A-Za-z_][A-Za-z0-9_]*) *(\(|=).*/\2/p'
} | sort -u >"$work/common_names"

# Each of our symbols with the first name in it that tells something: the
# class or function after the namespaces every folder shares.
awk '$4 != "-" && $3 !~ /^\/usr\// { s = $4; sub(/^_GLOBAL__sub_I_/, "", s); sub(/\.(lto_priv|isra|constprop|part|cold)\.?[0-9]*.*$/, "", s); print s }' \
  "$work/sections" | sort -u >"$work/ours"
c++filt <"$work/ours" |
  sed -E 's/^(vxr|platform|win32|detail|\(anonymous namespace\))::((vxr|platform|win32|detail|\(anonymous namespace\))::)*//; s/[(<: ].*//' |
  paste -d' ' "$work/ours" - >"$work/names"

# symbol -> area for every one of ours: the runtime support, libstdc++'s
# templates, common/'s names, then the symbol tables, then the one folder
# whose sources name it.
awk 'NR == FNR { area[$1] = $2; next } FILENAME == ARGV[2] { common[$1] = 1; next }
     { name = $2
       # The runtime support defines some of std:: itself, on purpose.
       if (($1 in area) && area[$1] == "platform/win32/runtime/") print $1, area[$1]
       else if (name == "std" || name == "__gnu_cxx") print $1, "libstdc++"
       else if (name in common) print $1, "common/"
       else if (($1 in area) && area[$1] != "*") print $1, area[$1]
       else print $1, "?", name }' "$work/symbols" "$work/common_names" "$work/names" >"$work/known"
while read -r sym area name; do
  if [ "$area" = "?" ]; then
    area=-
    found=$( (cd "$root" && grep -rlw --include='*.cpp' --include='*.h' -e "$name" \
               wizard engine registration chooser codec common platform/win32 setup 2>/dev/null || true) |
             sed -E 's#^(platform/win32/runtime|platform/win32|[a-z]+)/.*#\1/#' | sort -u)
    [ -n "$name" ] && [ "$(printf '%s\n' "$found" | grep -c .)" -eq 1 ] && area=$found
  fi
  echo "$sym $area"
done <"$work/known" >"$work/settled"

# Area of each input section.
awk -v top="$top" '
  FILENAME == ARGV[1] { settled[$1] = $2; next }
  {
    out = $1; size = $2; obj = $3; sym = $4
    lib = obj; sub(/\(.*/, "", lib); sub(/.*\//, "", lib)
    member = obj; if (!sub(/^[^(]*\(/, "", member)) member = ""; sub(/\)$/, "", member)
    kind = (out == ".text") ? "code" : "data"
    if (out == ".bss") next
    if (out == ".rsrc") a = "resources (.rsrc)"
    else if (out == ".reloc") a = "base relocations (.reloc)"
    else if (out == ".idata" || member ~ /^lib[a-z0-9_]*(s[0-9]+|h|t)\.o$/) a = "import table"
    else if (obj == "linker-data") a = "C runtime"
    # The payload table that vxrpack rewrites: engine/payload_table.cpp.
    else if (out == ".vxrpay") a = "engine/"
    else if (obj == "*fill*") a = "alignment fill"
    else if (lib == "libstdc++.a") a = "libstdc++ (library)"
    else if (lib == "libgcc.a" || lib == "libgcc_eh.a") a = "libgcc helpers"
    else if (lib == "libuuid.a") a = "COM GUIDs (libuuid)"
    else if (lib ~ /^(crt2|crtbegin|crtend)\.o$/ || lib ~ /^lib(mingw32|mingwex|msvcrt|moldname)\.a$/) a = "C runtime"
    else {
      s = sym; sub(/^_GLOBAL__sub_I_/, "", s); sub(/\.(lto_priv|isra|constprop|part|cold)\.?[0-9]*.*$/, "", s)
      a = (s in settled) ? settled[s] : "-"
      if (a == "libstdc++") a = "libstdc++ (templates in our code)"
      else if (a == "common/") {}
      # Without LTO the object tells the folder; with it, only the symbol does.
      else if (obj ~ /stub_runtime/) a = "platform/win32/runtime/"
      else if (obj ~ /^platform\//) a = "platform/win32/"
      else if (obj !~ /ltrans/ && match(obj, /^[a-z]+\//)) a = substr(obj, 1, RLENGTH)
      else if (a == "-") a = (kind == "code") ? "our code, folder unknown" : "our data, folder unknown"
    }
    if (kind == "code") code[a] += size; else data[a] += size
    seen[a] = 1
    if (top > 0) printf "%d\t%s\t%s\t%s\n", size, out, a, (sym == "-" ? obj : sym) > "/dev/stderr"
  }
  END { for (a in seen) printf "%s\t%d\t%d\n", a, code[a], data[a] }
' "$work/settled" "$work/sections" >"$work/areas" 2>"$work/inputs"

file_size=$(stat -c %s "$exe")
order='wizard/ engine/ registration/ chooser/ codec/ common/ platform/win32/ platform/win32/runtime/ setup/'
{
  printf '%-36s %9s %9s %9s\n' area code data total
  printf '%-36s %9s %9s %9s\n' ---- ---- ---- -----
  for a in $order; do
    awk -F'\t' -v a="$a" '$1 == a { printf "%-36s %9d %9d %9d\n", $1, $2, $3, $2 + $3; f = 1 } END { if (!f) printf "%-36s %9d %9d %9d\n", a, 0, 0, 0 }' "$work/areas"
  done
  awk -F'\t' -v order=" $order " 'index(order, " " $1 " ") == 0 && $1 !~ /^(our |alignment)/ { printf "%-36s %9d %9d %9d\n", $1, $2, $3, $2 + $3 }' "$work/areas" | sort -k4,4nr
  awk -F'\t' '$1 ~ /^our / { printf "%-36s %9d %9d %9d\n", $1, $2, $3, $2 + $3 }' "$work/areas"
  awk -F'\t' -v size="$file_size" '
    { total += $2 + $3; if ($1 ~ /\/$/ || $1 ~ /^our /) ours += $2 + $3; if ($1 == "alignment fill") fill += $2 + $3 }
    END {
      printf "%-36s %9s %9s %9d\n", "alignment fill", "", "", fill
      printf "%-36s %9s %9s %9d\n", "PE headers and section padding", "", "", size - total
      printf "%-36s %9s %9s %9s\n", "", "", "", "-----"
      printf "%-36s %9s %9s %9d\n", "file size", "", "", size
      printf "%-36s %9s %9s %9d\n", "  of which ours (folders, our ...)", "", "", ours
    }' "$work/areas"
}
if [ "$top" -gt 0 ]; then
  echo
  echo "largest input sections:"
  sort -rn "$work/inputs" | head -n "$top" | awk -F'\t' '{ printf "%8d  %-8s %-28s %s\n", $1, $2, $3, $4 }' | c++filt
fi
