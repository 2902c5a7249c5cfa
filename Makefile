# The two entry points: `make run` builds and starts the program, `make test`
# builds and runs every test. Both install what they need first.
BUILD_DIR ?= build
JOBS ?= 2
# Extra options for every configure, the sanitizer and fuzz builds' too;
# CI passes CMAKE_ARGS=-DCHORVANTA_WERROR=ON.
CMAKE_ARGS ?=

.PHONY: setup configure build run test bench clean fuzz sanitize

setup:
	@bash scripts/setup.sh

configure: setup
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release $(CMAKE_ARGS) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j$(JOBS)

run: build
	@$(BUILD_DIR)/bin/chorvanta $(BUILD_DIR)/bin/examples/demo/demo.txt

test: build
	@cd $(BUILD_DIR) && ctest --output-on-failure -j$(JOBS)

bench: build
	@for b in $(BUILD_DIR)/bin/bench_*; do echo "== $$b"; $$b; done

# Every fuzz target for SECONDS each, in build-asan; fails naming what found a fault.
SECONDS ?= 20
fuzz: setup
	@BUILD_DIR=build-asan CMAKE_ARGS="$(CMAKE_ARGS)" bash scripts/fuzz.sh $(SECONDS)

# Every test under ASan and UBSan, each fuzz target for 20 s, and the threaded
# tests under TSan: what CI runs besides `make test`.
sanitize: setup
	@JOBS=$(JOBS) CMAKE_ARGS="$(CMAKE_ARGS)" bash scripts/sanitize.sh

clean:
	rm -rf $(BUILD_DIR)
