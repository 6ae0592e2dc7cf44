# SPDX-License-Identifier: MIT
# The two commands README promises: `make run` and `make test`.
.PHONY: deps build run test fuzz bench clean

deps:
	bash scripts/install-deps.sh

build: deps
	cmake --preset default
	cmake --build --preset default

run: build
	./build/bin/quorvel

test: build
	QT_QPA_PLATFORM=offscreen ctest --preset default

fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz
	bash converter/fuzz/run-fuzz.sh build-fuzz

bench: build
	bash scripts/install-deps.sh --bench
	bash bench/run-all.sh

clean:
	rm -rf build build-debug build-fuzz
