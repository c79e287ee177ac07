# The README's commands. Every target first installs what is missing (scripts/setup-deps).
JOBS ?= $(shell nproc)
BUILD ?= build
CMAKE_RELEASE = cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release
export XDG_RUNTIME_DIR ?= /tmp/tonvera-runtime-$(shell id -u)

.PHONY: all deps build run test sanitize tsan bench fuzz preview install package clean

all: build

deps:
	@scripts/setup-deps
	@mkdir -p $(XDG_RUNTIME_DIR) && chmod 700 $(XDG_RUNTIME_DIR)

build: deps
	@$(CMAKE_RELEASE) >/dev/null
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@if [ -x $(BUILD)/tonvera ]; then $(BUILD)/tonvera $(ARGS); \
	 else $(BUILD)/tonvera-query --data $(BUILD) types; fi

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

sanitize: deps
	@cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DTONVERA_SANITIZE=address,undefined >/dev/null
	cmake --build build-asan -j $(JOBS)
	cd build-asan && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j $(JOBS)

tsan: deps
	@cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=Debug -DTONVERA_SANITIZE=thread >/dev/null
	cmake --build build-tsan -j $(JOBS) --target tsan_tests
	cd build-tsan && ctest --output-on-failure -L player

bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && echo "== $$b" && "$$b"; done; true

fuzz:
	@scripts/setup-deps fuzz
	@CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTONVERA_FUZZ=ON >/dev/null
	cmake --build build-fuzz -j $(JOBS) --target fuzzers
	scripts/fuzz build-fuzz $${FUZZ_SECONDS:-60}

preview: build
	$(BUILD)/tools/tonvera-preview $(BUILD)/pics preview.png

install: build
	cmake --install $(BUILD) --prefix $(or $(PREFIX),$(HOME)/.local)

# A Debian package of the installed layout under /usr, in $(BUILD)/tonvera_VERSION_ARCH.deb.
package: build
	cd $(BUILD) && cpack -G DEB
	@dpkg-deb --field $(BUILD)/tonvera_*.deb Package Version Depends Recommends

clean:
	rm -rf build build-asan build-tsan build-fuzz
