# The two commands that matter:
#   make run    builds the program and searches up to 1,000,000,000
#   make test   builds everything and runs the whole test suite
BUILD_DIR ?= build
GENERATOR := $(shell command -v ninja >/dev/null 2>&1 && echo Ninja || echo "Unix Makefiles")
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all build run test bench clean

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

clean:
	rm -rf $(BUILD_DIR) build-bench $(WINDOWS_BUILD_DIR)

# Windows x64, cross-built here with MinGW-w64 and tested under Wine:
#   make windows        builds build-windows/driver/tamsel.exe
#   make test-windows   also builds GoogleTest for MinGW and runs every test under Wine
WINDOWS_BUILD_DIR ?= build-windows
WINDOWS_CMAKE := cmake -S . -B $(WINDOWS_BUILD_DIR) -G "$(GENERATOR)" -DCMAKE_BUILD_TYPE=Release \
	-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
WINDOWS_PACKAGES := cmake make g++-mingw-w64-x86-64-posix
WINE_TEST_PACKAGES := wine wine64 googletest

.PHONY: windows test-windows

windows:
	scripts/ensure-packages.sh $(WINDOWS_PACKAGES)
	test -f $(WINDOWS_BUILD_DIR)/CMakeCache.txt || $(WINDOWS_CMAKE) -DTAMSEL_BUILD_TESTS=OFF
	cmake --build $(WINDOWS_BUILD_DIR) -j $(JOBS) --target tamsel

test-windows:
	scripts/ensure-packages.sh $(WINDOWS_PACKAGES) $(WINE_TEST_PACKAGES)
	$(WINDOWS_CMAKE) -DTAMSEL_BUILD_TESTS=ON -DTAMSEL_GTEST_SOURCE_DIR=/usr/src/googletest
	cmake --build $(WINDOWS_BUILD_DIR) -j $(JOBS)
	status=0; ctest --test-dir $(WINDOWS_BUILD_DIR) --output-on-failure -j $(JOBS) || status=$$?; \
	WINEPREFIX=$(abspath $(WINDOWS_BUILD_DIR))/wine-prefix wineserver -k 2>/dev/null; exit $$status
