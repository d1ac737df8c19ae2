#!/bin/sh
# startup-help.sh VELMORA DATA WORK: starts the window on a copy of the sample
# settings folder and checks that it copies the Help menu's files from DATA,
# but never over a file of the same name in another case.
set -eu
velmora=$1 data=$2 work=$3
rm -rf "$work"
mkdir -p "$work"
cp -R "$data/samples" "$work/settings"
printf 'mine\n' >"$work/settings/CHANGELOG.TXT"
QT_QPA_PLATFORM=offscreen "$velmora" "$work/settings/" >"$work/log" 2>&1 &
pid=$!
tries=0
while [ ! -f "$work/settings/velmora3.pdf" ] && [ $tries -lt 300 ] && kill -0 $pid 2>/dev/null; do
  sleep 0.1
  tries=$((tries + 1))
done
kill $pid 2>/dev/null || true
wait $pid 2>/dev/null || true
if ! cmp -s "$data/velmora3.pdf" "$work/settings/velmora3.pdf"; then
  echo "velmora3.pdf was not installed into the settings folder"
  cat "$work/log"
  ls -la "$work/settings"
  exit 1
fi
if [ -e "$work/settings/changelog.txt" ] || [ "$(cat "$work/settings/CHANGELOG.TXT")" != mine ]; then
  echo "the change log replaced CHANGELOG.TXT"
  exit 1
fi
if ls -a "$work/settings" | grep -q '^\.velmora3\|^\.changelog'; then
  echo "a temporary file was left behind"
  exit 1
fi
echo "velmora3.pdf installed from $data"
