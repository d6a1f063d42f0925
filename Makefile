# The two commands that matter:
#   make run    builds the program and searches up to 1,000,000,000
#   make test   builds everything and runs the whole test suite
BUILD_DIR ?= build
GENERATOR := $(shell command -v ninja >/dev/null 2>&1 && echo Ninja || echo "Unix Makefiles")
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

FUZZ_SECONDS ?= 60

.PHONY: all build run test bench fuzz clean

all: build

$(BUILD_DIR)/CMakeCache.txt:
	cmake -S . -B $(BUILD_DIR) -G "$(GENERATOR)" -DCMAKE_BUILD_TYPE=Release

build: $(BUILD_DIR)/CMakeCache.txt
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	$(BUILD_DIR)/driver/tamsel 1,000,000,000

test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

bench:
	cmake -S . -B build-bench -G "$(GENERATOR)" -DCMAKE_BUILD_TYPE=Release -DTAMSEL_BUILD_BENCH=ON -DTAMSEL_BUILD_TESTS=OFF
	cmake --build build-bench -j $(JOBS)

# Builds the libFuzzer targets (clang) and runs each for FUZZ_SECONDS seconds.
fuzz:
	JOBS=$(JOBS) bash fuzz/run.sh $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD_DIR) build-bench
	rm -rf build-fuzz
