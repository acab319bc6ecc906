# The two entry points: `make demo` and `make check`. Both install whatever
# Debian packages are missing first.
BUILD ?= build
JOBS  ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps configure build check check-build release demo install asan fuzz bench clean

all: build

deps:
	@./scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# The test build treats warnings as errors; CI also builds once in Release,
# where GCC's optimiser reports warnings that the default build does not.
check: deps
	cmake -S . -B $(BUILD) -DSEATWATCH_WERROR=ON $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	@if [ -n "$${CI:-}" ]; then $(MAKE) --no-print-directory release CMAKE_FLAGS="-DSEATWATCH_WERROR=ON"; fi

# A plain Release build, as a user or a packager makes it.
release: deps
	cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)
	cmake --build build-release -j $(JOBS)

# The demo needs only the program, its plug-in and the tools it runs.
DEMO_TARGETS = seatwatch pagelink seatwatch-sim seatwatch-regsvr seatwatch-hh
demo: configure
	cmake --build $(BUILD) -j $(JOBS) --target $(DEMO_TARGETS)
	./scripts/demo $(BUILD)

# Installs the program, its plug-in, the tools and the assets under PREFIX
# (see cmake/SeatwatchInstall.cmake); DESTDIR is honoured for packaging.
PREFIX ?= /usr/local
INSTALL_TARGETS = seatwatch pagelink seatwatch-sim seatwatch-regsvr seatwatch-hh
install: configure
	cmake --build $(BUILD) -j $(JOBS) --target $(INSTALL_TARGETS)
	cmake --install $(BUILD) --prefix $(PREFIX)

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer.
asan:
	$(MAKE) check BUILD=build-asan CMAKE_FLAGS="-DSEATWATCH_SANITIZE=ON -DSEATWATCH_BENCH=OFF"

# libFuzzer targets (clang).
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -DSEATWATCH_FUZZ=ON -DSEATWATCH_BENCH=OFF
	cmake --build build-fuzz -j $(JOBS)

clean:
	rm -rf build build-asan build-fuzz build-release
