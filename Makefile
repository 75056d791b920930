# Velobridge: the two everyday targets are `make demo` and `make check`.
# Both install missing Debian packages first (scripts/install-deps).

BUILD    ?= build
JOBS     ?= $(shell nproc 2>/dev/null || echo 2)
WERROR   ?= OFF
CMAKE_ARGS ?=

.PHONY: all deps build check demo package fuzz fuzz-run bench clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -DVELOBRIDGE_WERROR=$(WERROR) $(CMAKE_ARGS)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

check: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

demo: build
	@scripts/demo $(BUILD)/src/velobridge-cli

# The Debian package, $(BUILD)/velobridge_VERSION_amd64.deb.
package: build
	cmake --build $(BUILD) --target package

# libFuzzer targets, built with clang into build-fuzz/.
fuzz: deps
	CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DVELOBRIDGE_FUZZ=ON -DVELOBRIDGE_TESTS=OFF
	cmake --build build-fuzz -j $(JOBS)

# Runs every fuzzer for FUZZ_SECONDS (default 60) on its seed corpus.
FUZZ_SECONDS ?= 60
fuzz-run: fuzz
	@scripts/fuzz-all build-fuzz/fuzz $(FUZZ_SECONDS)

bench: deps
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DVELOBRIDGE_BENCH=ON -DVELOBRIDGE_TESTS=OFF
	cmake --build build-bench -j $(JOBS)
	build-bench/bench/vb_bench

clean:
	rm -rf $(BUILD) build-fuzz build-bench build-asan
