# Front door: every target sets up what is missing first (idempotent).
.PHONY: all setup build test demo bench fuzz package clean

all: build

setup:
	@scripts/setup.sh

build:
	@scripts/setup.sh
	@scripts/build.sh

test:
	@scripts/test.sh

demo:
	@scripts/demo.sh

bench:
	@scripts/bench.sh

fuzz:
	@scripts/fuzz.sh

package:
	@scripts/package.sh

clean:
	rm -rf build build-fuzz dist
