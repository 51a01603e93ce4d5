"""The layer check on small trees: a sound one passes, and each way of breaking the order is
caught. Run from the repository's folder: python3 -m unittest tools.test_check_layers"""
import os
import tempfile
import types
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
# The check is a script without the .py ending: its source is run as a module of its own.
check_layers = types.ModuleType("check_layers")
_path = os.path.join(HERE, "check_layers")
with open(_path, encoding="utf-8") as _source:
    exec(compile(_source.read(), _path, "exec"), check_layers.__dict__)

CMAKE = """
file(GLOB CORE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/core/*.cpp)
add_library(parlomat_core STATIC ${CORE_SOURCES})
target_link_libraries(parlomat_core PUBLIC Qt6::Core)
file(GLOB ENGINE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/engine/*.cpp)
add_library(parlomat_engine STATIC ${ENGINE_SOURCES})
target_link_libraries(parlomat_engine PUBLIC parlomat_core)
file(GLOB GUI_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/gui/*.cpp)
add_library(parlomat_gui STATIC ${GUI_SOURCES})
target_link_libraries(parlomat_gui PUBLIC parlomat_engine Qt6::Widgets)
file(GLOB PLATFORM_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/platform/*.cpp)
add_library(parlomat_platform STATIC ${PLATFORM_SOURCES})
target_link_libraries(parlomat_platform PUBLIC parlomat_engine)
"""

SOUND = {
    "CMakeLists.txt": CMAKE,
    "core/dialogs.h": "#pragma once\nclass Dialogs {};\n",
    "core/phrase_file.h": '#pragma once\n#include "core/dialogs.h"\n',
    "core/phrase_file.cpp": '#include "core/phrase_file.h"\n',
    "engine/voice.h": '#pragma once\n#include "core/phrase_file.h"\n',
    "gui/main.h": '#pragma once\n#include <QWidget>\n#include "engine/voice.h"\n',
    "gui/main.cpp": '#include "gui/main.h"\n#include "gui/phrases_page.h"\n',
    "gui/phrases_page.h": '#pragma once\n',
    "gui/interface_page.cpp": '#include "gui/main.h"\n',
    "platform/qt_dialogs.h": ('#pragma once\n#include <memory>\n#include "core/dialogs.h"\n'
                              "std::unique_ptr<Dialogs> makeQtDialogs();\n"),
    "platform/qt_dialogs.cpp": ('#include "platform/qt_dialogs.h"\n'
                                "std::unique_ptr<Dialogs> makeQtDialogs() { return {}; }\n"),
    "platform/platform.cpp": ('#include "platform/qt_dialogs.h"\n'
                              "auto dialogs = makeQtDialogs();\n"),
    "app/entry.cpp": '#include "gui/main.h"\n#include "platform/qt_dialogs.h"\n',
    "tests/core/test_phrase_file.cpp": ('#include "core/phrase_file.h"\n'
                                        '#include "tests/support/files.h"\n'),
    "tests/gui/test_main.cpp": '#include "gui/main.h"\n#include "tests/support/support.h"\n',
    "tests/support/files.h": "#pragma once\n",
    "tests/support/support.h": '#pragma once\n#include "platform/qt_dialogs.h"\n',
}


def breaches(changes):
    files = dict(SOUND)
    files.update(changes)
    with tempfile.TemporaryDirectory() as root:
        for path, text in files.items():
            if text is None:
                continue
            os.makedirs(os.path.join(root, os.path.dirname(path)), exist_ok=True)
            with open(os.path.join(root, path), "w", encoding="utf-8") as f:
                f.write(text)
        return check_layers.breaches(root)


class CheckLayers(unittest.TestCase):
    def test_a_sound_tree_and_the_repository_pass(self):
        self.assertEqual(breaches({}), [])
        self.assertEqual(check_layers.breaches(os.path.join(HERE, "..")), [])

    def test_an_include_that_climbs_and_the_circle_it_closes(self):
        # A page of the window and the record of the core that includes the window's header.
        found = breaches({"core/phrase_file.cpp": '#include "core/phrase_file.h"\n'
                                                  '#include "gui/main.h"\n'})
        self.assertIn("core/phrase_file.cpp includes gui/main.h: core/ may include only core/",
                      found)
        self.assertTrue(any(b.startswith("include circle: ") and "gui/main" in b
                            and "core/phrase_file" in b for b in found), found)

    def test_an_include_written_with_dots_or_without_its_folder(self):
        for written in ['"../gui/main.h"', '"main.h"', '"./gui/main.h"']:
            with self.subTest(written):
                found = breaches({"gui/interface_page.cpp": f"#include {written}\n"})
                self.assertEqual(len(found), 1, found)
                self.assertTrue(found[0].startswith(f"gui/interface_page.cpp includes {written}"),
                                found)

    def test_a_library_built_from_another_folder_or_linking_one_above(self):
        cases = {
            "parlomat_core PUBLIC parlomat_gui": CMAKE.replace(
                "parlomat_core PUBLIC Qt6::Core", "parlomat_core PUBLIC parlomat_gui"),
            "core built from gui/": CMAKE.replace("STATIC ${CORE_SOURCES}",
                                                  "STATIC ${CORE_SOURCES} gui/main.cpp"),
            "engine from core/": CMAKE.replace("${CMAKE_SOURCE_DIR}/engine/*.cpp",
                                               "${CMAKE_SOURCE_DIR}/core/*.cpp"),
            "no platform library": CMAKE.replace("add_library(parlomat_platform", "#"),
        }
        for what, cmake in cases.items():
            with self.subTest(what):
                self.assertEqual(len(breaches({"CMakeLists.txt": cmake})), 1, what)

    def test_a_concrete_part_made_outside_the_one_place(self):
        made = "std::unique_ptr<Dialogs> d(makeQtDialogs());\n"
        for path in ["gui/interface_page.cpp", "core/phrase_file.cpp", "platform/other.cpp"]:
            with self.subTest(path):
                include = ('#include "platform/qt_dialogs.h"\n' if path.startswith("platform")
                           else "")
                found = breaches({path: include + made})
                self.assertIn(f"{path} names a concrete part: {made.strip()}", found)
        # A comment that names it is no breach.
        self.assertEqual(breaches({"gui/interface_page.cpp": "// not makeQtDialogs() here\n"}), [])

    def test_tests_keep_to_the_layers_of_their_folder(self):
        found = breaches({"tests/core/test_phrase_file.cpp": '#include "gui/main.h"\n'
                                                             '#include "tests/support/support.h"\n'})
        self.assertEqual(len(found), 2, found)


if __name__ == "__main__":
    unittest.main()
