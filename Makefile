# make install: builds dravelin and dravelin-batch and installs them under PREFIX (default
# ~/.local). The programs live in PREFIX/lib/dravelin, which holds seznam.db and the settings and
# must stay writable by the user; PREFIX/bin gets the commands, PREFIX/share the menu entry.
PREFIX ?= $(HOME)/.local
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: all install uninstall

all:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS) --target dravelin dravelin-batch make_seznam_db

install: all
	cmake --install $(BUILD) --prefix $(PREFIX)

# Removes the programs, commands, menu entry and icons; the program directory keeps the print
# list and the settings.
uninstall:
	rm -f $(PREFIX)/bin/dravelin $(PREFIX)/bin/dravelin-batch \
	  $(PREFIX)/lib/dravelin/dravelin $(PREFIX)/lib/dravelin/dravelin-batch \
	  $(PREFIX)/share/applications/dravelin.desktop \
	  $(PREFIX)/share/icons/hicolor/scalable/apps/dravelin.svg \
	  $(PREFIX)/share/icons/hicolor/48x48/apps/dravelin.png \
	  $(PREFIX)/share/icons/hicolor/128x128/apps/dravelin.png
	@echo "kept $(PREFIX)/lib/dravelin (seznam.db, dravelin.ini, font)"
