# Quick start: `make demo` and `make test`. Both install what is missing first.
BUILD_DIR      ?= build
TEST_BUILD_DIR ?= build-test
ASAN_BUILD_DIR ?= build-asan
JOBS           ?= $(shell nproc)
VST_INSTALL_DIR ?= $(HOME)/.vst

CMAKE_CONFIGURE = cmake -S . -DCMAKE_BUILD_TYPE

.PHONY: all deps build demo panel-screenshot test test-plain test-asan bench install format clean

all: build

deps:
	@bash scripts/install-deps.sh

# Release build of the plug-in and tools.
build: deps
	@$(CMAKE_CONFIGURE)=Release -B $(BUILD_DIR) -DVORPANE_BUILD_TESTS=OFF >/dev/null
	@cmake --build $(BUILD_DIR) -j $(JOBS)

demo: build
	@bash scripts/demo.sh $(BUILD_DIR)

# docs/panel.png from the Release build, through vorpane-host under a private X server.
panel-screenshot: build
	@bash scripts/panel-screenshot.sh $(BUILD_DIR)

# Every test, in a debug build (checks on) and in an AddressSanitizer + UBSan build.
test: deps test-plain test-asan

test-plain: deps
	@$(CMAKE_CONFIGURE)=Debug -B $(TEST_BUILD_DIR) >/dev/null
	@cmake --build $(TEST_BUILD_DIR) -j $(JOBS)
	@cd $(TEST_BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

test-asan: deps
	@$(CMAKE_CONFIGURE)=Debug -B $(ASAN_BUILD_DIR) -DVORPANE_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN_BUILD_DIR) -j $(JOBS)
	@cd $(ASAN_BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

bench: deps
	@$(CMAKE_CONFIGURE)=Release -B $(BUILD_DIR) -DVORPANE_BUILD_TESTS=OFF -DVORPANE_BUILD_BENCH=ON >/dev/null
	@cmake --build $(BUILD_DIR) -j $(JOBS)
	@bash scripts/bench.sh $(BUILD_DIR)

# `install` replaces the file rather than rewriting it in place, so a running host that has the
# old library mapped keeps working.
install: build
	@mkdir -p "$(VST_INSTALL_DIR)"
	@install -m 0644 $(BUILD_DIR)/Vorpane.so "$(VST_INSTALL_DIR)/Vorpane.so"
	@echo "Installed $(VST_INSTALL_DIR)/Vorpane.so"

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR) $(TEST_BUILD_DIR) $(ASAN_BUILD_DIR)
