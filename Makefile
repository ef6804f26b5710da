# The two user commands: `make run` and `make test`.
JOBS ?= 2
GENERATOR := $(shell command -v ninja >/dev/null 2>&1 && echo "-G Ninja")

.PHONY: run test bootstrap build-release build-sanitize

run: build-release
	@scripts/run

test: build-release build-sanitize
	cd build/release && ctest --output-on-failure -j $(JOBS)
	cd build/sanitize && ctest --output-on-failure -j $(JOBS)

bootstrap:
	@scripts/bootstrap

build-release: bootstrap
	cmake -S . -B build/release $(GENERATOR) -DCMAKE_BUILD_TYPE=Release
	cmake --build build/release -j $(JOBS)

build-sanitize: bootstrap
	cmake -S . -B build/sanitize $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug -DARDENTIX_SANITIZE=ON -DARDENTIX_BENCH=OFF
	cmake --build build/sanitize -j $(JOBS)
