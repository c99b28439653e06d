# Quick start: `make demo` and `make test`. Both install what is missing first.
BUILD_DIR      ?= build
TEST_BUILD_DIR ?= build-test
ASAN_BUILD_DIR ?= build-asan
TSAN_BUILD_DIR ?= build-tsan
JOBS           ?= $(shell nproc)
VST_INSTALL_DIR ?= $(HOME)/.vst
LV2_INSTALL_DIR ?= $(HOME)/.lv2

CMAKE_CONFIGURE = cmake -S . -DCMAKE_BUILD_TYPE

.PHONY: all deps build demo panel-screenshot test test-plain test-asan test-tsan bench install deb plots format clean

all: build

deps:
	@bash scripts/install-deps.sh

# Release build of the plug-ins (Vorpane.so and the LV2 bundle vorpane.lv2/) and the tools.
# `make build VORPANE_SOFA=/path/to/set.sofa` builds the plug-ins around an HRIR table made from
# that SOFA file instead of the committed one.
VORPANE_SOFA ?=
USER_INSTALL_DIRS = -DVORPANE_USER_VST_DIR="$(VST_INSTALL_DIR)" -DVORPANE_USER_LV2_DIR="$(LV2_INSTALL_DIR)"

build: deps
	@$(CMAKE_CONFIGURE)=Release -B $(BUILD_DIR) -DVORPANE_BUILD_TESTS=OFF \
	  -DVORPANE_SOFA="$(if $(VORPANE_SOFA),$(abspath $(VORPANE_SOFA)))" $(USER_INSTALL_DIRS) >/dev/null
	@cmake --build $(BUILD_DIR) -j $(JOBS)

demo: build
	@bash scripts/demo.sh $(BUILD_DIR)

# docs/panel.png from the Release build, through vorpane-host under a private X server.
panel-screenshot: build
	@bash scripts/panel-screenshot.sh $(BUILD_DIR)

# Every test, in a debug build (checks on) and in an AddressSanitizer + UBSan build; then the
# tests that use threads (ctest label `threads`) in a ThreadSanitizer build.
test: deps test-plain test-asan test-tsan

test-plain: deps
	@$(CMAKE_CONFIGURE)=Debug -B $(TEST_BUILD_DIR) >/dev/null
	@cmake --build $(TEST_BUILD_DIR) -j $(JOBS)
	@cd $(TEST_BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

test-asan: deps
	@$(CMAKE_CONFIGURE)=Debug -B $(ASAN_BUILD_DIR) -DVORPANE_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN_BUILD_DIR) -j $(JOBS)
	@cd $(ASAN_BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

# ThreadSanitizer maps its shadow memory at fixed addresses, which newer kernels' wider address
# randomisation can collide with; where setarch can turn randomisation off for the test
# processes, it does.
TSAN_RUN := $(shell setarch $$(uname -m) -R true >/dev/null 2>&1 && echo setarch $$(uname -m) -R)
TSAN_ENV := TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1"

test-tsan: deps
	@$(CMAKE_CONFIGURE)=Debug -B $(TSAN_BUILD_DIR) -DVORPANE_TSAN=ON >/dev/null
	@$(TSAN_ENV) $(TSAN_RUN) cmake --build $(TSAN_BUILD_DIR) -j $(JOBS)
	@cd $(TSAN_BUILD_DIR) && $(TSAN_ENV) $(TSAN_RUN) ctest --output-on-failure -j $(JOBS) -L threads \
	  --no-tests=error

bench: deps
	@$(CMAKE_CONFIGURE)=Release -B $(BUILD_DIR) -DVORPANE_BUILD_TESTS=OFF -DVORPANE_BUILD_BENCH=ON \
	  $(USER_INSTALL_DIRS) >/dev/null
	@cmake --build $(BUILD_DIR) -j $(JOBS)
	@bash scripts/bench.sh $(BUILD_DIR)

# `make install` installs the plug-ins for the current user: Vorpane.so in VST_INSTALL_DIR
# (~/.vst) and the LV2 bundle in LV2_INSTALL_DIR/vorpane.lv2 (~/.lv2); `make install
# PREFIX=/usr/local` installs system-wide: PREFIX/lib/vst/Vorpane.so,
# PREFIX/lib/lv2/vorpane.lv2/ and the tools in PREFIX/bin. DESTDIR is honoured by both. Both are
# CMake's install rules (cmake/Install.cmake), which replace each binary with a new file rather
# than rewrite it in place, so a running host that has the old library mapped keeps working.
PREFIX  ?=
DESTDIR ?=

install: build
ifeq ($(strip $(PREFIX)),)
	@DESTDIR="$(DESTDIR)" cmake --install $(BUILD_DIR) --component user
else
	@DESTDIR="$(DESTDIR)" cmake --install $(BUILD_DIR) --prefix "$(PREFIX)"
endif

# The Debian package, built from the release build: $(BUILD_DIR)/vorpane_VERSION_amd64.deb.
deb: build
	@cd $(BUILD_DIR) && cpack -G DEB >/dev/null
	@ls $(BUILD_DIR)/vorpane_*.deb

# Redraws the README's pictures of the built-in HRIR table in docs/ (or in PLOTS_DIR; with
# VORPANE_SOFA, of the table made from that file; with PLOTS_RATE=96000, of the table as the
# plug-in renders it at that host rate).
PLOTS_DIR ?= docs
PLOTS_RATE ?=

plots: build
	@mkdir -p "$(PLOTS_DIR)"
	@$(BUILD_DIR)/tools/make-plots $(if $(PLOTS_RATE),--rate $(PLOTS_RATE)) "$(PLOTS_DIR)"
	@echo "Drew $(PLOTS_DIR)/directions.png and $(PLOTS_DIR)/response.png"

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR) $(TEST_BUILD_DIR) $(ASAN_BUILD_DIR) $(TSAN_BUILD_DIR)
