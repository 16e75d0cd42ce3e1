#!/usr/bin/env bash
# The same 40 EAN-13 codes on a Zweckform 3651 sheet (52.5 x 29.7 mm, 4 x 10) through
# dravelin-batch and through glabels-3-batch, both PDFs rasterised at 300 dpi: how many codes
# zbarimg reads, and the spread of the bar widths measured on the raster.
# Usage: tools/barcode-compare.sh BUILD_DIR [WORK_DIR]
set -euo pipefail
BUILD=$(cd "${1:?build folder}" && pwd)
WORK=${2:-$(mktemp -d)}
mkdir -p "$WORK/settings"
cd "$WORK"

python3 - <<'PY'
def check(t):
    s = sum(int(c) * (1 if i % 2 == 0 else 3) for i, c in enumerate(t))
    return t + str((10 - s % 10) % 10)
codes = [check('85900000%04d' % (1000 + 37 * i)) for i in range(40)]
open('codes.txt', 'w').write('\n'.join(codes) + '\n')
open('codes.csv', 'w').write('code\n' + '\n'.join(codes) + '\n')
# dravelin's list file: kod;kods;nazev;cena;text1;text2;text3, kods between specznaks.
open('list.csv', 'w').write(''.join('%s;*%s*;;;;;\r\n' % (c, c) for c in codes))
PY
# Only kods, 2 mm from the top, centred; the frame in white.
cat > settings/dravelin.ini <<'INI'
[setup]
kodstop=2
kodsleft=-1
kodchb=0
nazevchb=0
cenachb=0
text1chb=0
text2chb=0
text3chb=0
bordercolor=16777215
INI
"$BUILD/src/dravelin-batch" --quiet --list list.csv --settings settings --sheet 3651 \
    --barcode kods=ean13,x=0.33,h=15 --pdf dravelin.pdf

# The same symbol for gLabels: 37.3 mm wide (113 modules of 0.33 mm), 18 mm high with its digits.
cat > glabels.glabels <<XML
<?xml version="1.0"?>
<Glabels-document xmlns="http://glabels.org/xmlns/3.0/">
  <Template brand="Zweckform" part="3651" size="A4" description="52.5 x 29.7 mm">
    <Meta category="label"/>
    <Label-rectangle id="0" width="52.5mm" height="29.7mm" round="0mm" x_waste="0mm" y_waste="0mm">
      <Markup-margin size="1mm"/>
      <Layout nx="4" ny="10" x0="0mm" y0="0mm" dx="52.5mm" dy="29.7mm"/>
    </Label-rectangle>
  </Template>
  <Objects id="0" rotate="False">
    <Object-barcode a0="1" a1="0" a2="0" a3="1" a4="0" a5="0" x="7.6mm" y="2mm" w="37.3mm"
        h="18mm" style="EAN-13" backend="gnu-barcode" text="True" checksum="True"
        color="0x000000ff" field="code"/>
  </Objects>
  <Merge type="Text/Comma/Line1Keys" src="$WORK/codes.csv"/>
</Glabels-document>
XML
glabels-3-batch -o glabels.pdf glabels.glabels >/dev/null 2>&1

for tool in dravelin glabels; do
    pdftoppm -r 300 -gray -singlefile "$tool.pdf" "$tool"
    pdftoppm -r 300 -gray -png -singlefile "$tool.pdf" "$tool"
    (zbarimg -q --raw "$tool.png" 2>/dev/null || true) | sort > "$tool.read"
done

python3 - <<'PY'
import statistics

def pgm(path):
    data = open(path, 'rb').read()
    parts, pos = [], 0
    while len(parts) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        parts.append(data[pos:end])
        pos = end
    return int(parts[1]), int(parts[2]), data[pos + 1:]

expected = sorted(open('codes.txt').read().split())
for tool in ('dravelin', 'glabels'):
    read = open(tool + '.read').read().split()
    exact = sum(1 for c in read if c in expected)
    w, h, px = pgm(tool + '.pgm')
    mm = 300 / 25.4
    runs = []
    # One scan line through the bars of each label, 8 mm below its top, inside its edges.
    for n in range(40):
        col, row = n // 10, n % 10
        y = int((row * 29.7 + 8) * mm)
        x0, x1 = int((col * 52.5 + 2) * mm), int((col * 52.5 + 50.5) * mm)
        line = px[y * w + x0:y * w + x1]
        run = 0
        for v in line:
            if v < 128:
                run += 1
            elif run:
                runs.append(run)
                run = 0
    # EAN bars are 1 to 4 modules; class each run by its nearest whole module count.
    module = statistics.median(sorted(runs)[:len(runs) // 3])
    classes = {}
    for r in runs:
        classes.setdefault(max(1, round(r / module)), []).append(r)
    print('%s: zbarimg read %d of 40 exactly (%d decodes); %d bars measured; module about %.2f px'
          % (tool, exact, len(read), len(runs), module))
    for k in sorted(classes):
        v = classes[k]
        print('  %d-module bars: %4d, width %d..%d px, mean %.2f, sd %.2f, distinct widths %s'
              % (k, len(v), min(v), max(v), statistics.mean(v), statistics.pstdev(v),
                 sorted(set(v))))
PY
echo "work folder: $WORK"
