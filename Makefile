# Everyday commands: see README.md.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: deps configure build programs run run2 test bench format clean

deps:
	@bash scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

# Everything: the programs, the tests and the benchmarks.
build: configure
	cmake --build $(BUILD) -j $(JOBS)

# What the two programs need and no more: they, and the tool that creates
# their stores.
programs: configure
	cmake --build $(BUILD) -j $(JOBS) --target scalora scalora2 scalora-setup

run: programs
	$(BUILD)/bin/scalora-setup
	$(BUILD)/bin/scalora

run2: programs
	$(BUILD)/bin/scalora-setup
	$(BUILD)/bin/scalora2

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: configure
	cmake --build $(BUILD) -j $(JOBS) --target benchmarks
	@for b in $(BUILD)/bin/bench-*; do [ -x "$$b" ] && "$$b"; done; true

format:
	@bash scripts/check-format.sh --fix

clean:
	rm -rf $(BUILD)
