# The two commands of the README. Both install what is missing first.
BUILD ?= build
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc)

.PHONY: all deps configure build test play clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS) --timeout 600

play: build
	@if [ -x $(BUILD)/bin/orvane ]; then $(BUILD)/bin/orvane; \
	else echo "make play: the launcher is not built yet; the engine builds and 'make test' runs its tests." >&2; exit 1; fi

clean:
	rm -rf $(BUILD)
