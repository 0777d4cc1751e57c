# The install benchmark's payload: make_payload <folder> fills the folder
# with 90 files of random bytes, 60,213,270 bytes in all: the usual payload
# names (modules, fonts, settings) and 80 libraries of 9 KiB to 1.1 MiB.
make_payload() {
  local dir=$1 entry i
  mkdir -p "$dir" || return 1
  local named=("TR_RedavIzor2010.ARX 3145728" "TR_RedavIzor2013.ARX 3145728" "ACAD2010P.dll 1048576"
    "ACAD2013P.dll 1048576" "itextsharp.dll 2097152" "Tavrin_EN.shx 204800" "Tavrin_HZ.shx 2097152"
    "Tavrin.prt5 10240" "readme.txt 4096")
  for entry in "${named[@]}"; do head -c "${entry#* }" /dev/urandom >"$dir/${entry% *}"; done
  printf '[Settings]\r\nPaper=A3\r\n' >"$dir/Tavrin.Ini"
  for i in $(seq 1 80); do
    head -c $((9216 * (1 + (i * 37) % 128))) /dev/urandom >"$dir/$(printf 'Tavrin_Lib%02d.dll' "$i")"
  done
}
