# Every target does its own set-up on a fresh Debian 12 machine (as root):
# packages, the codec libraries, the Wine prefix and the sample archive.
.PHONY: all build test demo bench fuzz soak dist clean

all: build

build:
	@scripts/build.sh

test:
	@scripts/test.sh

# ARCH=x64 opens the browser through the 64-bit host under 64-bit Wine.
demo:
	@ARCH=$(ARCH) scripts/demo.sh

# The integrator's packages, one zip per architecture, in build/dist.
dist:
	@scripts/dist.sh

bench:
	@scripts/bench.sh

fuzz:
	@scripts/fuzz.sh

# Hours of openings and automatic browse with resource samples; not in test.
soak:
	@scripts/soak.sh

clean:
	rm -rf build/win32 build/win64 build/native build/test-results build/demo build/dist
