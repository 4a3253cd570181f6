#!/usr/bin/env bash
# wine_lz32.sh engine_wine_tests.exe: builds the corpus on the host with
# mscompress inside this run's Wine prefix, then runs the Windows-side test on it.
set -euo pipefail
exe=$1
command -v mscompress >/dev/null || { echo "mscompress is not installed"; exit 1; }
dir="$WINEPREFIX/drive_c/engine-corpus"
rm -rf "$dir"
mkdir -p "$dir"
wine_dlls=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows
for f in lz32.dll expand.exe kernel32.dll; do cp "$wine_dlls/$f" "$dir/"; done
python3 - "$dir" <<'PY'
import math, random, struct, sys
d = sys.argv[1]
random.seed(5)
def wav(n):
    pcm = b''.join(struct.pack('<h', int(12000 * math.exp(-i / 6000) * math.sin(i * 0.09)) + random.randint(-32, 31)) for i in range(n))
    return b'RIFF' + struct.pack('<I', 36 + len(pcm)) + b'WAVEfmt ' + struct.pack('<IHHIIHH', 16, 1, 1, 22050, 44100, 2, 16) + b'data' + struct.pack('<I', len(pcm)) + pcm
open(f'{d}/beep.wav', 'wb').write(wav(2400))
open(f'{d}/start.wav', 'wb').write(wav(9700))
open(f'{d}/noise.bin', 'wb').write(bytes(random.getrandbits(8) for _ in range(100000)))
open(f'{d}/zeros.bin', 'wb').write(bytes(70000))
for n in (16, 17, 64, 4095, 4096, 4097):
    open(f'{d}/small{n}.txt', 'wb').write(bytes(b'ab cab\n'[i % 7] + i // 300 for i in range(n)))
PY
(cd "$dir" && for f in *; do mscompress "$f" >/dev/null; done)
ln -s /dev/full "$dir/full.wav"
export VXR_ENGINE_CORPUS='C:\engine-corpus'
exec "$VXR_WINE" "$exe"
