# Everyday commands: see README.md.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: deps build run run2 test bench format clean

deps:
	@bash scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/bin/scalora-setup
	$(BUILD)/bin/scalora

run2: build
	$(BUILD)/bin/scalora-setup
	$(BUILD)/bin/scalora2

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	@for b in $(BUILD)/bin/bench-*; do [ -x "$$b" ] && "$$b"; done; true

format:
	@bash scripts/check-format.sh --fix

clean:
	rm -rf $(BUILD)
