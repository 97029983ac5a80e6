"""No DLL from beside the program: copies of a marking DLL under the names of the system DLLs the
program loads by name or binds on first use lie in its folder, and Wine is told to prefer such
native copies (as Windows would find them first in the program's folder); starting the program and
using every feature that loads one leaves no mark."""
import glob
import os
import shutil
import time

from bench import WIN, SonadeskTestCase, probe, run, wait_for, wine_path
from test_pictures import ITEM_STYLE, make_picture

# Loaded by name (the note editor, the dialogs, dropped files) and delay-loaded after the first
# paint (GDI+, the common controls, OLE automation). ole32.dll is not planted: Windows always takes
# it from the system folder (a known DLL), while Wine's own input-method code binds it in every
# window-owning process by a path that ignores the program's restricted search.
PLANTED = ("riched20.dll", "comdlg32.dll", "shell32.dll", "gdiplus.dll", "oleaut32.dll", "comctl32.dll")
ADD_TEXT = (563, 469)
IMPORT_PICTURE = (499, 469)
WM_COMMAND, IDCANCEL = 0x0111, 2


class DllSearchTest(SonadeskTestCase):
    def setUp(self):
        super().setUp()
        for name in PLANTED:
            shutil.copy(os.path.join(WIN, "planted_dll.dll"), os.path.join(self.app.folder, name))
        self.overrides = os.environ.get("WINEDLLOVERRIDES", "")
        native = ",".join(os.path.splitext(n)[0] for n in PLANTED) + "=n,b"
        os.environ["WINEDLLOVERRIDES"] = (self.overrides + ";" if self.overrides else "") + native

    def tearDown(self):
        os.environ["WINEDLLOVERRIDES"] = self.overrides
        super().tearDown()

    def marks(self):
        return sorted(os.path.basename(p) for p in glob.glob(os.path.join(self.app.folder, "*.loaded")))

    def dialogs(self):
        main = self.app.main()["hwnd"]
        return [w for w in self.app.visible_windows("#32770") if w["hwnd"] != main]

    def use_and_cancel(self, button):
        """Clicks a command button and cancels the dialog it opens."""
        self.app.click_client(*button)
        wait_for(lambda: self.dialogs() or self.marks(), timeout=15)
        self.assertEqual(self.marks(), [])
        self.assertTrue(self.dialogs(), "no dialog opened")
        time.sleep(1)
        for w in self.dialogs():
            probe("post", w["hwnd"], WM_COMMAND, IDCANCEL, 0)
        self.assertTrue(wait_for(lambda: not self.dialogs(), timeout=10), "the dialog stayed")

    def test_no_feature_loads_a_dll_from_the_programs_folder(self):
        self.app.start()
        self.assertEqual(self.marks(), [])
        # The note editor (rich edit), the Open dialog (common dialogs), dropped files (shell).
        self.use_and_cancel(ADD_TEXT)
        self.use_and_cancel(IMPORT_PICTURE)
        pictures = os.path.join(self.app.folder, "pictures")
        os.makedirs(pictures)
        jpg = os.path.join(pictures, "a.jpg")
        make_picture(jpg, 200, 100)
        run(["wine", os.path.join(WIN, "drop_files.exe"), str(self.app.main()["hwnd"]), wine_path(jpg)], timeout=30)
        # The dropped picture is decoded by GDI+ and shown as an item.
        main = self.app.main()["hwnd"]
        shown = lambda: [w for w in self.app.visible_windows() if w["owner"] == main and
                         (w["exstyle"] & ITEM_STYLE) == ITEM_STYLE]
        self.assertTrue(wait_for(lambda: shown() or self.marks(), timeout=20), "the picture never showed")
        time.sleep(1)
        self.assertTrue(self.app.running())
        self.assertEqual(self.marks(), [])
