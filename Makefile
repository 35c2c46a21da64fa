# make run    installs what is missing, builds, starts the simulator
# make test   installs what is missing, builds, runs the whole test suite
# make bench  builds optimised and prints the benchmark table
# make fuzz   runs each libFuzzer target for FUZZ_SECONDS (default 60)

BUILD ?= build
JOBS  ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test test-core test-sanitize bench fuzz clean

all: build

deps:
	@scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@$(BUILD)/bin/orvik

test: build test-sanitize
	@ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The core and its tests again under AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: deps
	@cmake -S . -B $(BUILD)-sanitize -DCMAKE_BUILD_TYPE=Debug -DORVIK_WITH_UI=OFF -DORVIK_SANITIZE=ON >/dev/null
	@cmake --build $(BUILD)-sanitize -j $(JOBS)
	@ctest --test-dir $(BUILD)-sanitize --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD) $(BUILD)-sanitize $(BUILD)-bench $(BUILD)-fuzz
