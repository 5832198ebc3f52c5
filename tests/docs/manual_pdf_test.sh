#!/usr/bin/env bash
# The manual beside the program: a PDF of a sensible length whose text covers the windows,
# the standards, the silence detector, the settings store and the inputs.
# Usage: manual_pdf_test.sh PROGRAM_DIR
set -euo pipefail
pdf="$1/24 Channel Multi Ostrel.pdf"
[ -s "$pdf" ] || { echo "FAIL: no manual at $pdf"; exit 1; }
pages=$(pdfinfo "$pdf" | awk '/^Pages:/ {print $2}')
[ "$pages" -ge 4 ] && [ "$pages" -le 60 ] || { echo "FAIL: $pages pages"; exit 1; }
# Lines are joined (a phrase may wrap) and ligatures spelled out.
text=$(pdftotext "$pdf" - | sed "s/ﬁ/fi/g; s/ﬂ/fl/g" | tr -s "\n " "  ")
for phrase in "Multi Mode Input Setup" "Meter standards" "Nordic N9" "DIN 45406" "Digital PPM" \
              "Silence Detector" "Save Logfile as" "Label for the Levels" "Bars preference" \
              "registry.sqlite3" "PipeWire" "Troubleshooting"; do
  grep -qF "$phrase" <<<"$text" || { echo "FAIL: the manual does not mention \"$phrase\""; exit 1; }
done
# The screenshots of the real program are in it (scripts/manual_screenshots.py renews them).
images=$(pdfimages -list "$pdf" | tail -n +3 | wc -l)
[ "$images" -ge 6 ] || { echo "FAIL: $images pictures in the manual, 6 screenshots expected"; exit 1; }
echo "manual: $pages pages, $images pictures"
