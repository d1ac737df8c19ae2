# Thin wrapper over CMake + Ninja. Every target installs what is missing first.
BUILD      ?= build
ASAN_BUILD ?= build-asan
BENCH_BUILD ?= build-bench
JOBS       ?= $(shell nproc)
CMAKE_FLAGS ?=
SAMPLE     := $(BUILD)/sample
PREFIX     ?= /usr/local

.PHONY: all deps configure build test install deb run demo screenshots docs-pictures asan bench bench-e2e fuzz clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

install: build
	@cmake --install $(BUILD) --prefix $(PREFIX)

# The Debian package, velmora_VERSION_amd64.deb, into $(BUILD)/package/.
deb: build
	@rm -f $(BUILD)/package/velmora_*.deb
	@cd $(BUILD) && cpack -G DEB >/dev/null
	@ls $(BUILD)/package/velmora_*.deb

# The GUI on the bundled sample project (a fresh copy each time).
run: build
	@rm -rf $(SAMPLE) && $(BUILD)/bin/velmora-mksample $(SAMPLE)
	$(BUILD)/bin/velmora $(abspath $(SAMPLE))/

# PNGs of the main window and every dialog, offscreen, into $(BUILD)/screenshots/.
screenshots: build
	@rm -rf $(BUILD)/screenshots $(BUILD)/screenshot-sample && $(BUILD)/bin/velmora-mksample $(BUILD)/screenshot-sample
	@QT_QPA_PLATFORM=offscreen $(BUILD)/bin/velmora-screenshots $(abspath $(BUILD)/screenshot-sample)/ $(BUILD)/screenshots

# The manual's and the AppStream data's pictures: every docs/*.png again from the
# screenshots, with the sample project in a short neutral folder.
DOCS_SAMPLE := /tmp/velmora-docs
docs-pictures: build
	@rm -rf $(DOCS_SAMPLE) $(BUILD)/docs-pictures && $(BUILD)/bin/velmora-mksample $(DOCS_SAMPLE)
	@QT_QPA_PLATFORM=offscreen $(BUILD)/bin/velmora-screenshots $(DOCS_SAMPLE)/ $(BUILD)/docs-pictures
	@for f in docs/*.png; do cp $(BUILD)/docs-pictures/$$(basename $$f) $$f; done

# The main task headless on the bundled samples: the demo macro over every score.
demo: build
	@rm -rf $(SAMPLE) && $(BUILD)/bin/velmora-mksample $(SAMPLE)
	$(BUILD)/bin/velmora-cli --settings $(SAMPLE)/ edit --macro DEMO $(SAMPLE)/SAMPLES/*.mus

# Core tests under AddressSanitizer and UndefinedBehaviorSanitizer.
asan: deps
	@cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELMORA_GUI=OFF -DVELMORA_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	@cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS)

# Micro-benchmarks (Google Benchmark); BENCH_FLAGS passes options, e.g. --benchmark_filter=Comp.
bench: deps
	@cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_GUI=ON -DVELMORA_TESTS=OFF -DVELMORA_BENCH=ON >/dev/null
	@cmake --build $(BENCH_BUILD) -j $(JOBS) --target velmora-bench
	$(BENCH_BUILD)/bin/velmora-bench $(BENCH_FLAGS)

# End-to-end ratios against cat and cp on a generated batch (REPS, FILES: see the script).
bench-e2e: deps
	@BUILD=$(BENCH_BUILD) JOBS=$(JOBS) scripts/bench-e2e

# Each libFuzzer harness for FUZZ_SECONDS (default 60).
fuzz: build
	@FUZZ_SECONDS=$(or $(FUZZ_SECONDS),60) scripts/fuzz

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BENCH_BUILD) build-fuzz
