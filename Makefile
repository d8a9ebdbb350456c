# Thin front over CMake: `make run` and `make test` do all the set-up a fresh Debian 12 machine needs.
BUILD ?= build
SAMPLE ?= samples/sample.tif
JOBS ?= $(shell nproc)
# Extra CMake settings for the build in $(BUILD), e.g. CMAKE_FLAGS=-DCMAKE_COMPILE_WARNING_AS_ERROR=ON
CMAKE_FLAGS ?=

.PHONY: all setup configure build run test package screenshot bench fuzz clean

all: build

setup:
	@./scripts/setup.sh

$(BUILD)/build.ninja: | setup
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

configure: setup $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./scripts/run.sh $(BUILD) $(SAMPLE)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The Debian package, $(BUILD)/lodestar_<version>-1_<arch>.deb (see cmake/Packaging.cmake).
package: build
	cmake --build $(BUILD) --target package

screenshot: build
	./scripts/screenshot.sh $(BUILD) $(SAMPLE) docs/screenshot.png

bench: build
	./bench/run.sh $(BUILD)

fuzz: setup
	./fuzz/run.sh $(or $(SECONDS),600)

clean:
	rm -rf $(BUILD)
