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

# The whole suite, replays included, built with AddressSanitizer and UndefinedBehaviorSanitizer
# in $(BUILD)-sanitize. A leak, an overflow or undefined behaviour fails the test it happens
# in; fontconfig's own lifetime caches are the only leaks let through. SANITIZE_TARGETS
# narrows the build to those targets and SANITIZE_TESTS the run to matching tests (a ctest
# regular expression), for a shorter leg.
SANITIZE_TARGETS ?=
SANITIZE_TESTS ?=
SANITIZE_ENV = ASAN_OPTIONS=detect_leaks=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/leak-suppressions:print_suppressions=0 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

test-sanitize: deps
	@cmake -S . -B $(BUILD)-sanitize -G Ninja -DORVANE_SANITIZE=ON $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD)-sanitize -j $(JOBS) $(if $(SANITIZE_TARGETS),--target $(SANITIZE_TARGETS))
	@$(SANITIZE_ENV) ctest --test-dir $(BUILD)-sanitize --output-on-failure -j $(JOBS) --timeout 1200 \
		-E '^fuzz_' $(if $(SANITIZE_TESTS),-R '$(SANITIZE_TESTS)')

# With a display: the window. Without one: the first episode played headless, its pictures
# and transcript left in $(BUILD)/play.
play: build
	@scripts/play $(BUILD)

# The Debian package, made by CPack from the install rules: $(BUILD)/package/orvane_*.deb.
deb: build
	@cd $(BUILD) && cpack --config CPackConfig.cmake

clean:
	rm -rf $(BUILD) $(BUILD)-second $(BUILD)-sanitize
