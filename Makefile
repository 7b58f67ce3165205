BUILD_DIR ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
# Extra cmake options, e.g. make test CMAKE_ARGS=-DQUOVADEX_WERROR=ON
CMAKE_ARGS ?=

.PHONY: all deps build run test clean bench fuzz test-sanitize soak package

all: build

deps:
	@bash scripts/install-deps.sh

build: deps
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS) >/dev/null
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
		echo "No display found: run it as  xvfb-run -a make run  (or start it from a desktop session)"; \
		exit 1; \
	fi
	@cd "$(CURDIR)" && ./$(BUILD_DIR)/src/app/quovadex3

test: build
	@cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

# Longer runs, each driven by its own script.
bench: build
	@bash bench/run.sh

fuzz: deps
	@bash scripts/fuzz.sh

test-sanitize: deps
	@bash scripts/test-sanitize.sh

soak: build
	@bash scripts/soak.sh

package: build
	@bash scripts/package.sh

clean:
	rm -rf $(BUILD_DIR)
