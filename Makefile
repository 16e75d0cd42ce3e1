# make install: builds dravelin and dravelin-batch for Release and installs them, stripped,
# under PREFIX (default ~/.local). The programs live in PREFIX/lib/dravelin, which holds
# seznam.db and the settings and must stay writable by the user; PREFIX/bin gets the commands,
# PREFIX/share the menu entry, MIME type, metainfo, icons and manual pages. The build folder is
# its own (build-release), so it never switches the test build's set-up.
PREFIX ?= $(HOME)/.local
BUILD ?= build-release
JOBS ?= $(shell nproc)

.PHONY: all install uninstall

all:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DDRAVELIN_BUILD_TESTS=OFF
	cmake --build $(BUILD) -j $(JOBS) --target dravelin dravelin-batch make_seznam_db

install: all
	cmake --install $(BUILD) --prefix $(PREFIX) --strip

# Removes what install put there; the program directory keeps the print list and the settings.
uninstall:
	rm -f $(PREFIX)/bin/dravelin $(PREFIX)/bin/dravelin-batch \
	  $(PREFIX)/lib/dravelin/dravelin $(PREFIX)/lib/dravelin/dravelin-batch \
	  $(PREFIX)/lib/dravelin/fonts/LibreBarcode39-Regular.woff \
	  $(PREFIX)/lib/dravelin/fonts/LibreBarcode39-OFL.txt \
	  $(PREFIX)/share/applications/dravelin.desktop \
	  $(PREFIX)/share/mime/packages/dravelin.xml \
	  $(PREFIX)/share/metainfo/cz.dravelin.Dravelin.metainfo.xml \
	  $(PREFIX)/share/man/man1/dravelin.1 $(PREFIX)/share/man/man1/dravelin-batch.1 \
	  $(PREFIX)/share/icons/hicolor/scalable/apps/dravelin.svg \
	  $(PREFIX)/share/icons/hicolor/48x48/apps/dravelin.png \
	  $(PREFIX)/share/icons/hicolor/128x128/apps/dravelin.png
	-rmdir $(PREFIX)/lib/dravelin/fonts 2>/dev/null
	-command -v update-mime-database >/dev/null && update-mime-database $(PREFIX)/share/mime
	@echo "kept $(PREFIX)/lib/dravelin (seznam.db, dravelin.ini, font)"
