# Two commands for a fresh Debian 12 machine:
#   make run    install what is missing, build (Release) and start build/tavrin
#   make test   install what is missing, build, run every test
BUILD   ?= build
JOBS    ?= 2
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=Release

.PHONY: all deps configure build run test monkey fuzz clean

all: build

deps:
	@scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j$(JOBS)

run: build
	./$(BUILD)/tavrin

test: build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS) --timeout 600
	$(MAKE) --no-print-directory monkey
	$(MAKE) --no-print-directory fuzz

# Random actions on the real window under the address and undefined-behaviour sanitizers
# (build-asan), fixed seed, bounded in actions and time.
monkey: deps
	JOBS=$(JOBS) scripts/monkey.sh

# Short fuzz runs of the record readers (clang libFuzzer, address + undefined sanitizers).
fuzz:
	@if [ -x fuzz/run.sh ]; then fuzz/run.sh; else echo "fuzz: no targets yet"; fi

clean:
	rm -rf $(BUILD) build-fuzz

PREFIX ?= /usr/local
.PHONY: install
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)
	-@if [ -z "$(DESTDIR)" ] && command -v update-mime-database >/dev/null; then update-mime-database $(PREFIX)/share/mime; fi
	-@if [ -z "$(DESTDIR)" ] && command -v update-desktop-database >/dev/null; then update-desktop-database $(PREFIX)/share/applications; fi
