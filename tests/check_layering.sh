#!/usr/bin/env bash
# Fails when a toolkit-free layer includes a toolkit or system-library header,
# or when a lower layer includes a higher one.
root=${1:-.}
cd "$root" || exit 2
status=0
forbidden='^\s*#\s*include\s*[<"](Q[A-Za-z]+|Qt[A-Za-z]+/|ft2build\.h|freetype/|FT_|fontconfig/|cups/|jpeglib\.h|jerror\.h)'
for dir in model output raster export fonts tools; do
  [ -d "$dir" ] || { echo "missing folder $dir/"; status=1; continue; }
  hits=$(grep -rnE "$forbidden" "$dir" --include='*.h' --include='*.cpp' || true)
  if [ -n "$hits" ]; then
    echo "toolkit header in $dir/:"; echo "$hits"; status=1
  fi
done
# Downward-only dependencies between the core layers.
check() { # layer, then the layers it must not include
  local layer=$1; shift
  [ -d "$layer" ] || { echo "missing folder $layer/"; status=1; return; }
  for up in "$@"; do
    hits=$(grep -rnE "^\s*#\s*include\s*\"$up/" "$layer" --include='*.h' --include='*.cpp' || true)
    if [ -n "$hits" ]; then echo "$layer/ includes $up/:"; echo "$hits"; status=1; fi
  done
}
check platform model fonts output raster export tools app cli
check model fonts output raster export tools app cli
check fonts output raster export tools app cli
check output raster export tools app cli
check raster export tools app cli
check export tools app cli
check tools app cli
[ $status -eq 0 ] && echo "layering ok"
exit $status
