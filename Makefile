# Every target does its own set-up on a fresh Debian 12 machine (as root):
# packages, the codec libraries, the Wine prefix and the sample archive.
.PHONY: all build test demo bench fuzz soak clean

all: build

build:
	@scripts/build.sh

test:
	@scripts/test.sh

demo:
	@scripts/demo.sh

bench:
	@scripts/bench.sh

fuzz:
	@scripts/fuzz.sh

# Hours of openings and automatic browse with resource samples; not in test.
soak:
	@scripts/soak.sh

clean:
	rm -rf build/win32 build/native build/test-results build/demo
