# make run    installs what is missing, builds, starts the simulator
# make test   installs what is missing, builds, runs the whole test suite
# make bench  builds optimised and prints the benchmark table
# make fuzz   runs each libFuzzer target for FUZZ_SECONDS (default 60)
# make web    builds the browser edition into build-web/ (static files)

# Sub-makes of the generated build files would announce every folder they enter.
MAKEFLAGS += --no-print-directory

BUILD ?= build
JOBS  ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test web test-sanitize bench package format format-check fuzz fuzz-build fuzz-run fuzz-merge clean

all: build

deps:
	@scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@$(BUILD)/bin/orvik

# The browser edition: the core compiled to WebAssembly with Debian's
# emscripten, in a build tree of its own; the page and its module land in
# build-web/, static files to open from any static host. emscripten finds
# Debian's JavaScript modules (acorn) through NODE_PATH when the node first
# on the PATH is not Debian's.
WEB_TREE ?= $(BUILD)-wasm
WEB_OUT  ?= $(CURDIR)/build-web
web: deps
	@NODE_PATH=/usr/share/nodejs emcmake cmake -S . -B $(WEB_TREE) -DCMAKE_BUILD_TYPE=Release -DORVIK_WEB=ON \
	  -DORVIK_WEB_OUTPUT=$(WEB_OUT) $(CMAKE_FLAGS) >/dev/null
	@NODE_PATH=/usr/share/nodejs cmake --build $(WEB_TREE) -j $(JOBS) --target orvik_web orvik_page

# The suite builds with warnings as errors, so the build stays clean.
# The browser edition is built first, and its page tested in headless Chromium.
test: CMAKE_FLAGS += -DORVIK_WERROR=ON -DORVIK_WEB_SITE=$(WEB_OUT)
test: web build test-sanitize
	@ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer:
# the core, the window and orvik-session, the programs beside them, and the
# conformance scenarios run through the instrumented orvik-session. Qt itself
# is not instrumented: its own memory accesses go unchecked, while every
# allocation, the project's code and the leak check at exit are watched.
test-sanitize: deps
	@cmake -S . -B $(BUILD)-sanitize -DCMAKE_BUILD_TYPE=Debug -DORVIK_WITH_UI=ON -DORVIK_SANITIZE=ON -DORVIK_WERROR=ON >/dev/null
	@cmake --build $(BUILD)-sanitize -j $(JOBS)
	@UBSAN_OPTIONS=print_stacktrace=1 ctest --test-dir $(BUILD)-sanitize --output-on-failure -j $(JOBS)

# Benchmarks in an optimised build of their own, the window ones on Qt's
# offscreen platform. BENCH_FLAGS go to Google Benchmark: repetitions of all
# benchmarks are interleaved, so a change in the machine's load falls on all of
# them alike. The table of medians and the ratios come last, then start-up in
# fresh processes with its peak memory, then orvik-run's Traces per second.
BENCH_FLAGS ?= --benchmark_repetitions=10 --benchmark_enable_random_interleaving=true \
               --benchmark_report_aggregates_only=true

bench: deps
	@cmake -S . -B $(BUILD)-bench -DCMAKE_BUILD_TYPE=Release -DORVIK_BENCH=ON >/dev/null
	@cmake --build $(BUILD)-bench -j $(JOBS) --target orvik_bench orvik_startup_probe orvik_run_probe orvik_grade_probe orvik-run
	@QT_QPA_PLATFORM=offscreen $(BUILD)-bench/bin/orvik_bench $(BENCH_FLAGS)
	@echo
	@QT_QPA_PLATFORM=offscreen $(BUILD)-bench/bin/orvik_startup_probe
	@echo
	@$(BUILD)-bench/bin/orvik_run_probe $(BUILD)-bench/bin/orvik-run
	@$(BUILD)-bench/bin/orvik_grade_probe
	@echo
	@$(MAKE) --no-print-directory web
	@/usr/bin/python3 bench/web_bench.py $(WEB_OUT)

# A .deb of the programs, the menu entry, the icon, the guide and the
# examples, built in a release tree of its own without the test suite:
# build-package/orvik_VERSION_ARCH.deb. Install it with apt install ./FILE.deb.
package: deps
	@cmake -S . -B $(BUILD)-package -DCMAKE_BUILD_TYPE=Release -DORVIK_TESTS=OFF \
	  -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
	@cmake --build $(BUILD)-package -j $(JOBS) --target orvik orvik-asm orvik-run
	@cd $(BUILD)-package && cpack

# The sources in the style of .clang-format: in place, or only the list of
# files that would change.
format:
	@scripts/format.sh
format-check:
	@scripts/format.sh --check

# libFuzzer targets, built with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer. `make fuzz` runs each for FUZZ_SECONDS, starting
# from the corpus in tests/fuzz/corpus and keeping what it finds in
# $(BUILD)-fuzz/corpus; crashes go to $(BUILD)-fuzz/artifacts. `make fuzz-merge`
# adds the inputs that reach new code to the corpus in the repository.
# Coverage is collected on the project's code only (tests/fuzz/coverage_ignore.txt
# says what is left out and why); the sanitizers check all of it.
FUZZ_SECONDS ?= 60
FUZZ_TARGETS ?= fuzz_loaders fuzz_decoders fuzz_trace fuzz_edits \
                fuzz_assembler fuzz_memory_image fuzz_lister fuzz_checker
FUZZ_FLAGS   ?=
FUZZ_DIR      = $(BUILD)-fuzz

fuzz-build: deps
	@cmake -S . -B $(FUZZ_DIR) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DORVIK_WITH_UI=OFF -DORVIK_SANITIZE=ON -DORVIK_FUZZ=ON \
	  "-DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link -fsanitize-coverage-ignorelist=$(CURDIR)/tests/fuzz/coverage_ignore.txt" >/dev/null
	@cmake --build $(FUZZ_DIR) -j $(JOBS) --target $(FUZZ_TARGETS)

fuzz: fuzz-build
	@$(MAKE) --no-print-directory fuzz-run

# Runs the targets already built; several of these may run side by side.
fuzz-run:
	@set -e; for t in $(FUZZ_TARGETS); do \
	  mkdir -p $(FUZZ_DIR)/corpus/$$t $(FUZZ_DIR)/artifacts/$$t; \
	  echo "== $$t for $(FUZZ_SECONDS) s"; \
	  $(FUZZ_DIR)/bin/$$t -max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=2048 -max_len=16384 \
	    -dict=tests/fuzz/orvik.dict -print_final_stats=1 -artifact_prefix=$(FUZZ_DIR)/artifacts/$$t/ \
	    $(FUZZ_FLAGS) $(FUZZ_DIR)/corpus/$$t tests/fuzz/corpus/$$t; \
	done

fuzz-merge: fuzz-build
	@set -e; for t in $(FUZZ_TARGETS); do \
	  $(FUZZ_DIR)/bin/$$t -merge=1 -max_len=16384 tests/fuzz/corpus/$$t $(FUZZ_DIR)/corpus/$$t; \
	done

clean:
	rm -rf $(BUILD) $(BUILD)-sanitize $(BUILD)-bench $(BUILD)-fuzz $(BUILD)-package $(WEB_TREE) $(WEB_OUT)
