# The two commands that matter; each first makes sure of what it needs,
# installing it as root with apt-get, else naming the line to type:
#   make run    builds the program alone and searches up to 1,000,000,000
#   make test   builds the program and its tests and runs the whole suite
# make install puts tamsel, its man page and its bash completion under PREFIX
# (/usr/local); make uninstall removes what the last make install put there.
# make mpi builds tamsel-mpi, the search across the machines of a cluster,
# in build-mpi/ (make test-mpi runs its tests under the MPI launcher).
BUILD_DIR ?= build
PREFIX ?= /usr/local
GENERATOR := $(shell command -v ninja >/dev/null 2>&1 && echo Ninja || echo "Unix Makefiles")
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

ENSURE := bash scripts/ensure-packages.sh
CONFIGURE := bash scripts/configure-build.sh $(BUILD_DIR)
PROGRAM_PACKAGES := g++ cmake make
TEST_PACKAGES := $(PROGRAM_PACKAGES) libgtest-dev mandoc bash-completion

FUZZ_SECONDS ?= 60

.PHONY: all build run test install uninstall bench fuzz clean

all: build

build:
	@$(ENSURE) $(PROGRAM_PACKAGES)
	@$(CONFIGURE) program
	cmake --build $(BUILD_DIR) -j $(JOBS) --target tamsel

run: build
	$(BUILD_DIR)/driver/tamsel 1,000,000,000

test:
	@$(ENSURE) $(TEST_PACKAGES)
	@$(CONFIGURE) tests
	cmake --build $(BUILD_DIR) -j $(JOBS)
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

install: build
	cmake --install $(BUILD_DIR) --prefix $(PREFIX)

# The files listed in the manifest that the last install wrote, whatever
# PREFIX it was given.
uninstall:
	cmake -DMANIFEST=$(abspath $(BUILD_DIR))/install_manifest.txt -P cmake/uninstall.cmake

bench:
	cmake -S . -B build-bench -G "$(GENERATOR)" -DCMAKE_BUILD_TYPE=Release -DTAMSEL_BUILD_BENCH=ON -DTAMSEL_BUILD_TESTS=OFF
	cmake --build build-bench -j $(JOBS)

# Builds the libFuzzer targets (clang) and runs each for FUZZ_SECONDS seconds.
fuzz:
	JOBS=$(JOBS) bash fuzz/run.sh $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD_DIR) build-bench $(WINDOWS_BUILD_DIR) $(MPI_BUILD_DIR)
	rm -rf build-fuzz

# Windows x64, cross-built here with MinGW-w64 and tested under Wine:
#   make windows        builds build-windows/driver/tamsel.exe
#   make test-windows   also builds GoogleTest for MinGW and runs every test under Wine
WINDOWS_BUILD_DIR ?= build-windows
WINDOWS_CONFIGURE := bash scripts/configure-build.sh $(WINDOWS_BUILD_DIR)
WINDOWS_TOOLCHAIN := -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
WINDOWS_PACKAGES := cmake make g++-mingw-w64-x86-64-posix
WINE_TEST_PACKAGES := wine wine64 googletest

.PHONY: windows test-windows

windows:
	@$(ENSURE) $(WINDOWS_PACKAGES)
	@$(WINDOWS_CONFIGURE) program $(WINDOWS_TOOLCHAIN)
	cmake --build $(WINDOWS_BUILD_DIR) -j $(JOBS) --target tamsel

# Wine's server outlives the tests; it is stopped once they have run.
test-windows:
	@$(ENSURE) $(WINDOWS_PACKAGES) $(WINE_TEST_PACKAGES)
	@$(WINDOWS_CONFIGURE) tests $(WINDOWS_TOOLCHAIN) -DTAMSEL_GTEST_SOURCE_DIR=/usr/src/googletest
	cmake --build $(WINDOWS_BUILD_DIR) -j $(JOBS)
	status=0; ctest --test-dir $(WINDOWS_BUILD_DIR) --output-on-failure -j $(JOBS) || status=$$?; \
	WINEPREFIX=$(abspath $(WINDOWS_BUILD_DIR))/wine-prefix wineserver -k 2>/dev/null; exit $$status

# tamsel-mpi, built beside a tamsel of its own; only these targets need MPI:
#   make mpi        builds build-mpi/driver/tamsel-mpi
#   make test-mpi   runs its end-to-end tests under mpirun, against tamsel
MPI_BUILD_DIR ?= build-mpi
MPI_CONFIGURE := bash scripts/configure-build.sh $(MPI_BUILD_DIR)
MPI_PACKAGES := $(PROGRAM_PACKAGES) libopenmpi-dev openmpi-bin

.PHONY: mpi test-mpi

mpi:
	@$(ENSURE) $(MPI_PACKAGES)
	@$(MPI_CONFIGURE) program -DTAMSEL_BUILD_MPI=ON
	cmake --build $(MPI_BUILD_DIR) -j $(JOBS) --target tamsel-mpi

# The tests share the machine's processors among their ranks, so they run
# one after another.
test-mpi:
	@$(ENSURE) $(MPI_PACKAGES) libgtest-dev
	@$(MPI_CONFIGURE) tests -DTAMSEL_BUILD_MPI=ON
	cmake --build $(MPI_BUILD_DIR) -j $(JOBS) --target tamsel_mpi_tests
	ctest --test-dir $(MPI_BUILD_DIR) --output-on-failure -R '^MpiSearch\.'
