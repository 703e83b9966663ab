# Every target installs what is missing, configures and builds what it needs.
BUILD      ?= build/release
ASAN_BUILD ?= build/asan
JOBS       ?= $(shell nproc)
GENERATOR  := -G Ninja

PREFIX     ?= /usr/local

.PHONY: all setup build test test-asan run demo bench install clean

all: build

setup:
	@scripts/setup

$(BUILD)/build.ninja: | setup
	@cmake -S . -B $(BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: setup $(BUILD)/build.ninja
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# Sanitizer build of the whole suite with clang; the fuzz targets run briefly.
$(ASAN_BUILD)/build.ninja: | setup
	@CC=clang CXX=clang++ cmake -S . -B $(ASAN_BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug \
	    -DZAVORA_SANITIZE=ON -DZAVORA_FUZZ=ON -DZAVORA_BENCH=OFF >/dev/null

test-asan: setup $(ASAN_BUILD)/build.ninja
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	@cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

bench: build
	@for b in $(BUILD)/bench/bench_*; do echo "== $$b"; $$b; done

run: build
	@if [ -z "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	    echo "No display found: the program needs one; try 'make demo' for the headless conversions."; \
	else $(BUILD)/app/zavora examples/sample.zvx; fi

demo: build
	@scripts/demo $(BUILD)

install: build
	@cmake --install $(BUILD) --prefix $(PREFIX)

clean:
	rm -rf build
