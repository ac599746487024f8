# Entry points for newcomers and CI. Everything real happens in CMake.
BUILD_DIR   ?= build
BENCH_DIR   ?= build-bench
FUZZ_DIR    ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS        ?= $(shell nproc)
DEPS_STAMP  := $(BUILD_DIR)/.deps-ok

.PHONY: all build run test bench fuzz deps clean format install check-install screenshots package

all: build

deps:
	@./scripts/install-deps

$(BUILD_DIR)/build.ninja:
	@./scripts/install-deps
	cmake --preset default

build: $(BUILD_DIR)/build.ninja
	@./scripts/install-deps
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@./scripts/run-app

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS) --timeout 600

bench:
	@./scripts/install-deps
	cmake --preset bench
	cmake --build $(BENCH_DIR) -j $(JOBS)
	./bench/run-all $(BENCH_DIR)

screenshots:
	cmake --build $(BUILD_DIR) -j $(JOBS) --target lexorra
	./scripts/screenshots $(BUILD_DIR)

# Separate clang build; runs each fuzz program for FUZZ_SECONDS, one after another.
fuzz:
	@./scripts/install-deps
	cmake --preset fuzz
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzzers
	FUZZ_BUILD_DIR=$(FUZZ_DIR) FUZZ_SECONDS=$(FUZZ_SECONDS) ./scripts/run-fuzzers

clean:
	rm -rf $(BUILD_DIR) $(BENCH_DIR) $(FUZZ_DIR) $(RELEASE_DIR)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

PREFIX ?= /usr/local
RELEASE_DIR ?= build-release
# Installs an optimised build (the default build carries the sanitizers used by the tests).
install:
	@./scripts/install-deps
	cmake --preset release
	cmake --build $(RELEASE_DIR) -j $(JOBS)
	cmake --install $(RELEASE_DIR) --prefix $(PREFIX)

# The Debian package, from the same optimised build: $(RELEASE_DIR)/lexorra_<version>_<arch>.deb.
package:
	@./scripts/install-deps
	cmake --preset release
	cmake --build $(RELEASE_DIR) -j $(JOBS) --target package_contents
	cd $(RELEASE_DIR) && cpack -G DEB

check-install: build
	./scripts/check-install $(BUILD_DIR) $(PREFIX)
