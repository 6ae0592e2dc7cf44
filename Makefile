# SPDX-License-Identifier: MIT
# The two commands README promises: `make run` and `make test`; `make package`
# for the Debian package, `make package-check` to check it as CI does.
.PHONY: deps build run test package package-check fuzz bench clean

deps:
	bash scripts/install-deps.sh

build: deps
	cmake --preset default
	cmake --build --preset default

run: build
	./build/bin/quorvel

test: build
	QT_QPA_PLATFORM=offscreen ctest --preset default

package: build
	bash scripts/install-deps.sh --package
	cpack --preset default

package-check: package
	bash tests/package/check-package.sh build

fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz
	bash converter/fuzz/run-fuzz.sh build-fuzz

bench: build
	bash scripts/install-deps.sh --bench
	bash bench/run-all.sh

clean:
	rm -rf build build-debug build-fuzz
