# The everyday commands. Each one installs what it needs first.
FUZZ_SECONDS ?= 30
JOBS ?= $(shell nproc)

.PHONY: all deps build test run package fuzz fuzz-build bench format clean

all: build

deps:
	@scripts/install-deps.sh

build: deps
	cmake --preset debug
	cmake --build --preset debug -j $(JOBS)

# Unit, widget and interop suites under the sanitizers, then a short run of every fuzzer.
test: build
	ctest --preset debug -j $(JOBS)
	$(MAKE) --no-print-directory fuzz

# The program itself, optimised, on the demo rig, with the console simulator on
# 127.0.0.1:3038 beside it. It needs a desktop session (a DISPLAY).
run: deps
	cmake --preset release
	cmake --build --preset release -j $(JOBS) --target pexlora pexlora-console-sim
	scripts/run-with-simulator.sh build/release examples/demo.pexlora

# pexlora_<version>_amd64.deb in this folder, checked with lintian and installed
# into a throwaway root where the machine allows it (scripts/check-package.sh).
package:
	@scripts/install-deps.sh package
	cmake --preset package
	cmake --build --preset package -j $(JOBS)
	cd build/package && cpack -G DEB
	cp build/package/package/pexlora_*_amd64.deb .
	scripts/check-package.sh pexlora_*_amd64.deb

fuzz-build: deps
	cmake --preset fuzz
	cmake --build --preset fuzz -j $(JOBS)

fuzz: fuzz-build
	@scripts/run-fuzzers.sh build/fuzz $(FUZZ_SECONDS)

bench: deps
	cmake --preset release
	cmake --build --preset release -j $(JOBS)
	@scripts/run-benchmarks.sh build/release

format:
	find src tests bench fuzz tools -name '*.cpp' -o -name '*.h' 2>/dev/null | xargs -r clang-format -i

clean:
	rm -rf build
