# Every dependency comes from Debian's packages (see scripts/install-deps.sh).
find_package(PkgConfig REQUIRED)
find_package(OpenGL REQUIRED)
# Xlib itself: the engine keeps its X11 window's errors from ending the process.
find_package(X11 REQUIRED)
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
pkg_check_modules(SDL2_IMAGE REQUIRED IMPORTED_TARGET SDL2_image)
# Sound effects: SDL2_mixer (libsdl2-mixer-dev) mixes them onto SDL's audio device.
pkg_check_modules(SDL2_MIXER REQUIRED IMPORTED_TARGET SDL2_mixer)
pkg_check_modules(GLEW REQUIRED IMPORTED_TARGET glew)
# Fonts: FreeType (libfreetype-dev) rasterises TrueType and OpenType glyphs.
pkg_check_modules(FREETYPE REQUIRED IMPORTED_TARGET freetype2)
pkg_check_modules(BOX2D REQUIRED IMPORTED_TARGET box2d)
# libimgui.a needs libstb (libstb-dev) to link.
pkg_check_modules(IMGUI REQUIRED IMPORTED_TARGET imgui)

find_path(GLM_INCLUDE_DIR glm/glm.hpp REQUIRED)
find_path(RAPIDJSON_INCLUDE_DIR rapidjson/document.h REQUIRED)
find_path(PICOJSON_INCLUDE_DIR picojson.h REQUIRED)
# zlib (zlib1g-dev): compressed tile layers of Tiled maps.
find_package(ZLIB REQUIRED)
# Tiled's XML maps and tilesets (libpugixml-dev) and zstd-compressed layers (libzstd-dev).
pkg_check_modules(PUGIXML REQUIRED IMPORTED_TARGET pugixml)
pkg_check_modules(ZSTD REQUIRED IMPORTED_TARGET libzstd)
