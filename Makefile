# Thin wrapper around CMake. `make run` builds and starts the engine,
# `make test` builds and runs every test.
#
# make CXX=<compiler> builds with that compiler, in a build directory of its
# own (build-<compiler>): CMake keeps the compiler a directory was first
# configured with.
ifeq ($(origin CXX),command line)
BUILD ?= build-$(notdir $(CXX))
COMPILER := -DCMAKE_CXX_COMPILER=$(CXX)
endif
BUILD ?= build
JOBS ?= 2

.PHONY: all build run test sanitize bench clean match

# make EXE=<path>, as test frameworks build an engine: the engine alone in
# Release, without the tests (so without GoogleTest), in $(BUILD)-exe, copied
# to <path>.
EXE ?=
ifeq ($(EXE),)
all: build
else
all:
	cmake -S . -B $(BUILD)-exe -DCMAKE_BUILD_TYPE=Release -DKELPIN_TESTS=OFF $(COMPILER)
	cmake --build $(BUILD)-exe -j $(JOBS) --target kelpin
	cp $(BUILD)-exe/kelpin $(EXE)
endif

build:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(COMPILER)
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/kelpin

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# Speed figures: perft, evaluation, search and the search signature, beside
# a peer engine's perft and evaluation rate. BASE=<commit> measures that
# commit alongside, alternating runs, and prints the ratios.
BASE ?=
bench: build
	BUILD=$(BUILD) BASE=$(BASE) JOBS=$(JOBS) ./tools/bench.sh

# The whole test suite once more under AddressSanitizer and UBSan.
sanitize:
	cmake -S . -B build-san -DCMAKE_BUILD_TYPE=Debug -DKELPIN_SANITIZE=ON
	cmake --build build-san -j $(JOBS)
	cd build-san && ctest --output-on-failure -j $(JOBS)

# A short match against fairymax inside xboard, headless under xvfb-run; takes
# minutes and is not part of `make test`. Options: make match MATCH_ARGS="-n 2".
match: build
	tools/match.sh -e $(BUILD)/kelpin $(MATCH_ARGS)

clean:
	rm -rf $(BUILD) $(BUILD)-exe build-san
