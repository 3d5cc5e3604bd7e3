# The two entry points: `make run` and `make test`. Both install missing Debian
# packages first, then configure and build with CMake.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc)

.PHONY: all deps configure build run test test-fast package screenshots format format-check asan clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	$(BUILD_DIR)/src/sondik

test: build
	@cd $(BUILD_DIR) && ctest --output-on-failure --timeout 600 -j $(JOBS)

# Unit tests only: no real audio, no X server, no network namespaces.
test-fast: build
	@cd $(BUILD_DIR) && ctest --output-on-failure -L unit -j $(JOBS)

# build/sondik_<version>_<arch>.deb
package: build
	@cd $(BUILD_DIR) && cpack -G DEB

# The README's pictures in docs/screenshots, taken by the views' end-to-end
# test on a private X server (root: it runs in namespaces of its own).
screenshots: build
	@mkdir -p docs/screenshots
	@SCREENSHOT_DIR=$(CURDIR)/docs/screenshots tests/views/content_end_to_end.sh \
		$(BUILD_DIR)/src/sondik $(BUILD_DIR)/tests/views/pcmprobe $(BUILD_DIR)/test-artifacts

# AddressSanitizer + UndefinedBehaviorSanitizer build in its own folder.
asan:
	@$(MAKE) test BUILD_DIR=build-asan BUILD_TYPE=Debug CMAKE_FLAGS=-DSONDIK_SANITIZE=ON

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

format-check:
	@git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

clean:
	rm -rf $(BUILD_DIR)
