# The two commands of the README. Both install what is missing first.
BUILD ?= build
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc)

.PHONY: all deps configure build test test-second play deb clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build test-second
	@ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS) --timeout 600

# The second episode collection: core built with its constants, checked by the host tests.
test-second: deps
	@cmake -S . -B $(BUILD)-second -G Ninja -DORVANE_SECOND_BUILD=ON $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD)-second -j $(JOBS) --target core test_host
	@$(BUILD)-second/bin/test_host --gtest_brief=1

# With a display: the window. Without one: the first episode played headless, its pictures
# and transcript left in $(BUILD)/play.
play: build
	@scripts/play $(BUILD)

# The Debian package, made by CPack from the install rules: $(BUILD)/package/orvane_*.deb.
deb: build
	@cd $(BUILD) && cpack --config CPackConfig.cmake

clean:
	rm -rf $(BUILD) $(BUILD)-second
