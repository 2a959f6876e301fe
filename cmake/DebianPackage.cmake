# `cpack -G DEB` in a build folder makes lumio_<version>_<arch>.deb from the install
# rules. The shared-library dependencies are computed by dpkg-shlibdeps; the encoder,
# the Japanese font and Qt's Japanese texts are what the program needs besides them.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lumio)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Lumio team")
set(CPACK_PACKAGE_CONTACT "Lumio team <lumio@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "batch encoder of audio files to Ogg Vorbis with oggenc")
# CPack indents these lines as they are, so each stays within 80 columns.
set(CPACK_PACKAGE_DESCRIPTION
    "Lumio is a desktop front-end for the Ogg Vorbis encoder oggenc. Collect
WAVE, FLAC and AIFF files in a list, edit their comment tags for one file or
many at once, choose output names and folders, set bit-rate limits or a
quality level, and start the batch.

Lumio checks the whole list first, asks once before overwriting existing
files, runs the encoder for one file after the other with a progress window
and a cancel button, and ends with a plain-text report. Its interface is in
Japanese.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://lumio.example.org/")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "vorbis-tools, opus-tools, fonts-ipafont-gothic, qt6-translations-l10n")
# MP3, M4A, Opus and the other formats oggenc cannot read go through ffmpeg.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "ffmpeg")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
