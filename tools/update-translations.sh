#!/usr/bin/env bash
# Refreshes translations/zelvon_en.ts from the sources: new texts come in
# unfinished, texts no longer in the sources go. Then lists what is left to
# translate; fill those in with Qt Linguist (linguist-qt6) or by hand and run
# the script again until it says none are left.
#   tools/update-translations.sh
set -euo pipefail
cd "$(dirname "$0")/.."

lupdate=$(command -v lupdate6 || true)
[ -n "$lupdate" ] || lupdate=/usr/lib/qt6/bin/lupdate
[ -x "$lupdate" ] || { echo "lupdate not found: install qt6-l10n-tools (./dev.sh does)" >&2; exit 1; }

"$lupdate" -locations none -no-obsolete -source-language cs_CZ -target-language en -I . \
    game shell controls hexmap net engine -ts translations/zelvon_en.ts

unfinished=$(grep -c 'type="unfinished"' translations/zelvon_en.ts || true)
if [ "$unfinished" -gt 0 ]; then
    echo "$unfinished text(s) still to translate in translations/zelvon_en.ts:"
    python3 - <<'PY'
import xml.etree.ElementTree as ET
for context in ET.parse("translations/zelvon_en.ts").getroot().iter("context"):
    for message in context.iter("message"):
        if message.find("translation").get("type") == "unfinished":
            print(f"  {context.findtext('name')}: {message.findtext('source')!r}")
PY
else
    echo "Every text is translated."
fi
