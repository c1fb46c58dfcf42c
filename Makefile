# Thin wrapper around CMake. `make run` builds and starts the engine,
# `make test` builds and runs every test.
BUILD ?= build
JOBS ?= 2

.PHONY: all build run test sanitize bench clean match

all: build

build:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release
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
	rm -rf $(BUILD) build-san
