# Shared by the scripts: a heading with the time, and a one-case JUnit report
# for a suite that writes none of its own.

say() { printf '\n== %s (%s)\n' "$*" "$(date +%T)"; }

junit_case() {  # <suite> <case> <exit status> <failure message>
  echo "<testsuites><testsuite name=\"$1\">"
  if [ "$3" = 0 ]; then
    echo "<testcase classname=\"$1\" name=\"$2\"/>"
  else
    echo "<testcase classname=\"$1\" name=\"$2\"><failure message=\"$4\"/></testcase>"
  fi
  echo '</testsuite></testsuites>'
}
