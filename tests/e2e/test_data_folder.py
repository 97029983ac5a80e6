"""Where the desks are kept. Beside the program while its folder can be written; when it cannot (a
folder mounted read-only here: root's writes pass every permission bit, a read-only mount stops
them, under Wine as on Windows), in the user's %LOCALAPPDATA%\\Varnel\\Sonadesk\\Data, with the desks
found beside the program copied there once, the user told once, and the About window naming it."""
import getpass
import glob
import os
import shutil
import subprocess
import tempfile
import time
import unittest

from bench import Sonadesk, SonadeskTestCase, key, probe, wait_for
from test_desks import CREATE_DESK, read_store


def per_user_data():
    """The per-user data folder inside the Wine prefix (C:\\users\\<user>\\AppData\\Local\\...)."""
    users = os.path.join(os.environ["WINEPREFIX"], "drive_c", "users")
    local = os.path.join(users, getpass.getuser(), "AppData", "Local")
    if not os.path.isdir(local):
        found = [d for d in glob.glob(os.path.join(users, "*", "AppData", "Local")) if "/Public/" not in d]
        local = found[0] if found else local
    return os.path.join(local, "Varnel", "Sonadesk", "Data")


def mount_read_only(folder):
    """Makes `folder` a read-only bind mount of itself; None when it worked, else why not."""
    steps = [["mount", "--bind", folder, folder], ["mount", "-o", "remount,ro,bind", folder]]
    for i, step in enumerate(steps):
        out = subprocess.run(step, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        if out.returncode != 0:
            if i:
                subprocess.run(["umount", folder])
            return out.stdout.strip() or "mount failed"
    try:
        with open(os.path.join(folder, "probe"), "w"):
            pass
    except OSError:
        return None
    unmount(folder)
    return "the mount is not read-only"


def unmount(folder):
    for _ in range(20):
        if subprocess.run(["umount", folder], stderr=subprocess.DEVNULL).returncode == 0:
            return
        time.sleep(0.25)  # Wine may still hold a file of it open for a moment


class DataFolderTest(SonadeskTestCase):
    def setUp(self):
        super().setUp()
        self.mounted = False
        shutil.rmtree(per_user_data(), ignore_errors=True)

    def tearDown(self):
        self.app.close()
        if self.mounted:
            unmount(self.app.folder)
        shutil.rmtree(per_user_data(), ignore_errors=True)
        super().tearDown()

    def message_boxes(self):
        main = (self.app.main() or {}).get("hwnd")
        return [w for w in self.app.visible_windows() if w["class"] == "#32770" and w["hwnd"] != main and
                w["title"] == "Varnel Sonadesk"]

    def box_text(self, box):
        texts = []
        for child in self.app.children(box["hwnd"]):
            items, _ = probe("text", child["hwnd"])
            if items:
                texts.append(items[0]["text"])
        return "\n".join(texts)

    def exit(self):
        self.app.alt_f4()
        self.assertTrue(self.app.wait_exit(20), "Alt+F4 did not end the program")

    def test_a_writable_program_folder_keeps_the_desks_beside_it_and_says_nothing(self):
        self.app.start()
        self.app.click_client(*CREATE_DESK)
        time.sleep(1.5)
        self.assertEqual(self.message_boxes(), [])
        self.exit()
        self.assertEqual(read_store(self.app.data_file("Media"))[:2], (2, 1))
        self.assertFalse(os.path.exists(per_user_data()))

    def test_a_program_folder_the_code_page_cannot_spell_gets_its_data_folder_beside_it(self):
        # "Пользователь" has no spelling in the Western code page Wine runs with here: the folder
        # is found and made through the wide calls, never as "????".
        shutil.rmtree(self.app.folder, ignore_errors=True)
        parent = tempfile.mkdtemp(prefix="sonadesk-e2e-")
        self.app = Sonadesk(os.path.join(parent, "Пользователь"))
        self.app.start()
        self.app.close()
        self.assertTrue(os.path.isdir(os.path.join(parent, "Пользователь", "Data")))
        self.assertEqual(sorted(n for n in os.listdir(parent) if n != "Пользователь"), [])
        self.assertFalse(os.path.exists(per_user_data()), "the folder beside the program was taken as unwritable")
        shutil.rmtree(parent, ignore_errors=True)

    def test_a_read_only_program_folder_keeps_the_desks_in_the_users_folder(self):
        # Two desks saved beside the program while it could still write there.
        self.app.start()
        self.app.click_client(*CREATE_DESK)
        self.exit()
        beside = open(self.app.data_file("Media"), "rb").read()
        self.assertEqual(read_store(self.app.data_file("Media"))[:2], (2, 1))

        why = mount_read_only(self.app.folder)
        if why:
            self.skipTest("no read-only mount can be made here: " + why)
        self.mounted = True

        # Told once where the desks are kept, in a box the main window owns.
        self.app.start()
        box = wait_for(lambda: self.message_boxes(), timeout=10)
        self.assertTrue(box, "the user was not told where the desks are kept")
        self.assertEqual(box[0]["owner"], self.app.main()["hwnd"])
        text = self.box_text(box[0])
        self.assertIn("\\AppData\\Local\\Varnel\\Sonadesk\\Data\\", text)
        key("Return")
        self.assertTrue(wait_for(lambda: not self.message_boxes(), timeout=5))
        # The desks from beside the program were copied, byte for byte, before anything changed.
        self.assertEqual(open(os.path.join(per_user_data(), "Media"), "rb").read(), beside)

        # A change is saved there; the program's folder is as it was.
        self.app.click_client(*CREATE_DESK)
        self.exit()
        self.assertEqual(read_store(os.path.join(per_user_data(), "Media"))[:2], (3, 2))
        self.assertEqual(read_store(os.path.join(per_user_data(), "Media_bak"))[:2], (3, 2))
        self.assertEqual(open(self.app.data_file("Media"), "rb").read(), beside)

        # A restart reads the same three desks (the older two beside the program are not copied
        # over them again) and says nothing more.
        self.app.start()
        time.sleep(2)
        self.assertEqual(self.message_boxes(), [])
        self.exit()
        self.assertEqual(read_store(os.path.join(per_user_data(), "Media"))[:2], (3, 2))

    def test_the_about_window_names_the_place(self):
        why = mount_read_only(self.app.folder)
        if why:
            self.skipTest("no read-only mount can be made here: " + why)
        self.mounted = True
        self.app.start()
        box = wait_for(lambda: self.message_boxes(), timeout=10)
        self.assertTrue(box)
        key("Return")
        main = self.app.main()
        about = [w for w in self.app.windows() if w["owner"] == main["hwnd"] and w["class"] == "#32770" and
                 w["rect"][2] - w["rect"][0] == 355]
        self.assertEqual(len(about), 1)
        lines = []
        for child in self.app.children(about[0]["hwnd"]):
            items, _ = probe("text", child["hwnd"])
            if items and items[0]["text"].startswith("Desks: "):
                lines.append(items[0]["text"])
        self.assertEqual(len(lines), 1, "the About window does not name the data folder")
        self.assertTrue(lines[0].endswith("\\AppData\\Local\\Varnel\\Sonadesk\\Data\\"), lines[0])


if __name__ == "__main__":
    unittest.main()
