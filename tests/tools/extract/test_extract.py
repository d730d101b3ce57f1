#!/usr/bin/env python3
"""Runs Extract.dll under Wine on fixture archives made here and checks its
exit codes and what it writes.

Every run goes through extract_runner.exe, which starts the command line with
CreateProcessW and no program path, as the main program does: so each case
also shows that a program file named Extract.dll starts from the folder of the
program that runs it.

    test_extract.py --wine /usr/lib/wine/wine64 --bin <build>/bin [--limit SECONDS]

--limit is the time the whole run may take (set under ctest's time-out for
the entry); each extractor run may use what is left of it, however slow the
machine, and one still running when it is used up fails naming its command.
"""
import argparse
import os
import random
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
import zipfile

PASSWORD = "123_mirt_saboe"
WINE = None
BIN = None
LIMIT = None     # seconds the whole run may take
DEADLINE = None  # time.monotonic() at which they are up
# extract_runner.exe's exit code for an extractor it ended at its limit.
RUNNER_ENDED_IT = 201
# What Wine needs beyond the extractor's own run to start and end the runner.
RUNNER_SLACK = 15

# The tree every zip-made fixture holds; None marks a folder.
TREE = {
    "readme.txt": b"hello, world\r\n",
    "a/": None,
    "a/empty.txt": b"",
    "a/b/": None,
    "a/b/c/": None,
    # larger than the extractor's copy buffer, part noise, part text
    "a/b/c/deep.bin": random.Random(7).randbytes(150_000) + b"pattern " * 20_000,
    "empty_dir/": None,
}
CHINESE_TREE = {
    "子目录/": None,
    "子目录/中文名.txt": "中文内容".encode("utf-8"),
}


def win(path):
    """The Windows name Wine gives a Unix path (drive Z: is /)."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def command(archive, target, password=None, trailing_backslash=True):
    """The command line the main program builds."""
    folder = win(target) + ("\\" if trailing_backslash else "")
    line = f'Extract.dll x "{win(archive)}" -o"{folder}" *.* -r -y'
    return line + (f" -p{password}" if password else "")


def run(command_line, cwd):
    """The extractor's exit code and output. Under Wine a crash can end with
    any code, 0 included: the test build's Extract.dll writes the file named
    in RAVONYX_EXIT_MARK when it ends normally, and a run without it fails."""
    with tempfile.TemporaryDirectory(prefix="extract-mark-") as marks:
        mark = os.path.join(marks, "ended")
        left = DEADLINE - time.monotonic()
        if left <= RUNNER_SLACK:
            raise AssertionError("the run's time limit of %g s was used up before: %s" % (LIMIT, command_line))
        env = dict(os.environ, RAVONYX_EXTRACT_COMMAND=command_line, RAVONYX_EXIT_MARK=win(mark),
                   RAVONYX_EXTRACT_LIMIT_MS=str(int((left - RUNNER_SLACK) * 1000)))
        try:
            done = subprocess.run([WINE, os.path.join(BIN, "extract_runner.exe")], cwd=cwd, env=env,
                                  stdin=subprocess.DEVNULL, capture_output=True, timeout=left)
        except subprocess.TimeoutExpired:
            raise AssertionError("extract_runner.exe did not end within the %.0f s left of the run's time limit "
                                 "of %g s: %s" % (left, LIMIT, command_line)) from None
        output = done.stdout.decode("utf-8", "replace") + done.stderr.decode("utf-8", "replace")
        if done.returncode == RUNNER_ENDED_IT:
            raise AssertionError("Extract.dll was still running when the %.0f s left of the run's time limit of "
                                 "%g s were up: %s\n%s" % (left - RUNNER_SLACK, LIMIT, command_line, output))
        if not os.path.exists(mark):
            raise AssertionError("Extract.dll did not end normally (exit code %d): %s\n%s"
                                 % (done.returncode, command_line, output))
    return done.returncode, output


def tree(root):
    """Everything below root: relative name -> bytes, folders -> None."""
    found = {}
    for folder, dirs, files in os.walk(root):
        rel = os.path.relpath(folder, root)
        prefix = "" if rel == "." else rel.replace(os.sep, "/") + "/"
        for d in dirs:
            found[prefix + d + "/"] = None
        for f in files:
            with open(os.path.join(folder, f), "rb") as fh:
                found[prefix + f] = fh.read()
    return found


def write_tree(root, entries, encoding="utf-8"):
    for name, data in entries.items():
        path = os.path.join(os.fsencode(root), name.encode(encoding))
        if data is None:
            os.makedirs(path, exist_ok=True)
        else:
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as fh:
                fh.write(data)


def zip_folder(source, archive, *options):
    """Linux zip of a folder's contents: names stored as their raw bytes, no UTF-8 flag."""
    subprocess.run(["zip", "-q", "-r", *options, os.path.abspath(archive), "."], cwd=source, check=True)


def python_zip(archive, entries, method=zipfile.ZIP_DEFLATED):
    """Python's zipfile keeps any name given, also hostile ones, and flags non-ASCII names as UTF-8."""
    with zipfile.ZipFile(archive, "w", method) as z:
        for name, data in entries:
            z.writestr(zipfile.ZipInfo(name), data, compress_type=method)


class Gbk(zipfile.ZipInfo):
    """A name stored in code page 936 without the UTF-8 flag, as Chinese Windows archivers write it."""

    def _encodeFilenameFlags(self):
        return self.filename.encode("gbk"), self.flag_bits


def corrupt_data(archive, corrupted):
    """Flips bytes in the middle of the only entry's data."""
    with zipfile.ZipFile(archive) as z:
        info = z.infolist()[0]
    with open(archive, "rb") as fh:
        data = bytearray(fh.read())
    start = info.header_offset + 30 + len(info.filename.encode()) + len(info.extra)
    middle = start + info.compress_size // 2
    for i in range(middle, middle + 8):
        data[i] ^= 0x5A
    with open(corrupted, "wb") as fh:
        fh.write(data)


class ExtractTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.root = tempfile.mkdtemp(prefix="extract-test-")
        cls.fixtures = os.path.join(cls.root, "fixtures")
        f = cls.fixture
        os.makedirs(cls.fixtures)
        source = f("source")
        write_tree(source, TREE)
        zip_folder(source, f("stored.zip"), "-0")
        zip_folder(source, f("deflate.zip"), "-9")
        zip_folder(source, f("stored-encrypted.zip"), "-0", "-P", PASSWORD)
        zip_folder(source, f("deflate-encrypted.zip"), "-P", PASSWORD)
        chinese = f("chinese-source")
        write_tree(chinese, CHINESE_TREE, encoding="gbk")
        zip_folder(chinese, f("cp936-encrypted.zip"), "-P", PASSWORD)
        with zipfile.ZipFile(f("cp936-python.zip"), "w") as z:
            z.writestr(Gbk("资料/"), b"")
            z.writestr(Gbk("资料/说明.txt"), "说明".encode("utf-8"))
        python_zip(f("utf8.zip"), [("资料/", b""), ("资料/图片/壁纸.txt", "壁纸".encode("utf-8"))])
        # compressible, yet well within the bound on unpacked size
        text = b"The quick brown fox jumps over the lazy dog. " * 2000 + random.Random(5).randbytes(4000)
        python_zip(f("one-deflate.zip"), [("data.txt", text)])
        python_zip(f("one-stored.zip"), [("data.txt", text)], zipfile.ZIP_STORED)
        corrupt_data(f("one-deflate.zip"), f("corrupt-deflate.zip"))
        corrupt_data(f("one-stored.zip"), f("corrupt-stored.zip"))
        python_zip(f("bzip2.zip"), [("data.txt", text)], zipfile.ZIP_BZIP2)
        python_zip(f("lzma.zip"), [("data.txt", text)], zipfile.ZIP_LZMA)
        with open(f("deflate.zip"), "rb") as fh:
            whole = fh.read()
        with open(f("truncated.zip"), "wb") as fh:
            fh.write(whole[:-40])
        with open(f("not-a-zip.zip"), "wb") as fh:
            fh.write(b"this is no archive\r\n" * 50)
        # Archives of nothing but their end record, and records that only look so.
        with zipfile.ZipFile(f("empty.zip"), "w"):
            pass
        with zipfile.ZipFile(f("empty-comment.zip"), "w") as z:
            z.comment = "空的".encode("utf-8")
        with open(f("empty.zip"), "rb") as fh:
            end_record = fh.read()
        with open(f("end-record-lists-an-entry.zip"), "wb") as fh:
            fh.write(end_record[:8] + b"\x01\x00\x01\x00" + end_record[12:])
        with open(f("end-record-and-more.zip"), "wb") as fh:
            fh.write(end_record + b"more")

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.root, ignore_errors=True)

    @classmethod
    def fixture(cls, name):
        return os.path.join(cls.fixtures, name)

    def case_folder(self, name):
        """A fresh folder for one case, with an empty current folder for the run."""
        folder = os.path.join(self.root, "cases", name)
        os.makedirs(os.path.join(folder, "cwd"))
        return folder

    def assert_refused_writing_nothing(self, label, entries):
        """Extracting the entries exits 2 and writes nothing, not even the entries before the culprit."""
        case = self.case_folder(label)
        archive = self.fixture(label + ".zip")
        python_zip(archive, entries)
        code, output = run(command(archive, os.path.join(case, "target")), os.path.join(case, "cwd"))
        self.assertEqual(code, 2, output)
        self.assertEqual(tree(case), {"cwd/": None})

    def test_extracts_with_full_paths(self):
        # (case, archive, password, expected tree, trailing backslash on the folder)
        cases = [
            ("stored", "stored.zip", None, TREE, True),
            ("deflate", "deflate.zip", None, TREE, True),
            ("stored, encrypted", "stored-encrypted.zip", PASSWORD, TREE, True),
            ("deflate, encrypted", "deflate-encrypted.zip", PASSWORD, TREE, True),
            ("a password for an archive without one", "deflate.zip", PASSWORD, TREE, True),
            ("folder without trailing backslash", "deflate.zip", None, TREE, False),
            ("code page 936 names from zip, encrypted", "cp936-encrypted.zip", PASSWORD, CHINESE_TREE, True),
            ("code page 936 names", "cp936-python.zip", None,
             {"资料/": None, "资料/说明.txt": "说明".encode("utf-8")}, True),
            ("UTF-8 names", "utf8.zip", None,
             {"资料/": None, "资料/图片/": None, "资料/图片/壁纸.txt": "壁纸".encode("utf-8")}, True),
            ("an empty archive", "empty.zip", None, {}, True),
            ("an empty archive with a comment", "empty-comment.zip", PASSWORD, {}, True),
        ]
        for i, (name, archive, password, expected, trailing) in enumerate(cases):
            with self.subTest(name):
                case = self.case_folder(f"ok{i}")
                # a target below folders that do not exist yet, its name with a blank and Chinese
                target = os.path.join(case, "解压 目标", "主题")
                code, output = run(command(self.fixture(archive), target, password, trailing),
                                   os.path.join(case, "cwd"))
                # The extractor runs hidden without standard handles, so what it
                # wrote before failing is the clue to where it failed.
                self.assertEqual(code, 0, "%s; written: %s" % (output, sorted(tree(target))))
                self.assertEqual(tree(target), expected)

    def test_overwrites_existing_files(self):
        case = self.case_folder("overwrite")
        target = os.path.join(case, "target")
        write_tree(target, {"readme.txt": b"older and longer contents " * 100, "a/keep.txt": b"kept"})
        code, output = run(command(self.fixture("deflate-encrypted.zip"), target, PASSWORD),
                           os.path.join(case, "cwd"))
        self.assertEqual(code, 0, output)
        self.assertEqual(tree(target), dict(TREE, **{"a/keep.txt": b"kept"}))

    def test_unwritable_target_exits_1(self):
        cases = [
            ("a folder where a file goes", {"readme.txt/": None}),
            ("a file where a folder goes", {"a": b"in the way"}),
        ]
        for name, obstacle in cases:
            with self.subTest(name):
                case = self.case_folder("unwritable-" + name.replace(" ", "-"))
                target = os.path.join(case, "target")
                write_tree(target, obstacle)
                code, output = run(command(self.fixture("deflate.zip"), target), os.path.join(case, "cwd"))
                self.assertEqual(code, 1, output)

    def test_damaged_archives_and_wrong_passwords_exit_2(self):
        cases = [
            ("wrong password, deflate", "deflate-encrypted.zip", "wrong_password"),
            ("wrong password, stored", "stored-encrypted.zip", "wrong_password"),
            ("password missing", "deflate-encrypted.zip", None),
            ("corrupted deflate data", "corrupt-deflate.zip", None),
            ("corrupted stored data (CRC error)", "corrupt-stored.zip", None),
            ("truncated archive", "truncated.zip", None),
            ("not an archive", "not-a-zip.zip", None),
            ("a lone end record that lists an entry", "end-record-lists-an-entry.zip", None),
            ("an end record with bytes after it", "end-record-and-more.zip", None),
            ("missing archive", "no-such-archive.zip", None),
            ("unsupported method bzip2", "bzip2.zip", None),
            ("unsupported method LZMA", "lzma.zip", None),
        ]
        for i, (name, archive, password) in enumerate(cases):
            with self.subTest(name):
                case = self.case_folder(f"damaged{i}")
                target = os.path.join(case, "target")
                code, output = run(command(self.fixture(archive), target, password), os.path.join(case, "cwd"))
                self.assertEqual(code, 2, output)
                # Folders may have been made; no file holds garbled or partial data.
                files = {k: v for k, v in tree(target).items() if v is not None}
                self.assertEqual(files, {})

    def test_refuses_entries_outside_the_target_and_writes_nothing(self):
        cases = [
            ("parent folder", "../outside/evil.txt"),
            ("parent folder, backslashes", "..\\outside\\evil.txt"),
            ("climbing out from a subfolder", "a/../../outside/evil.txt"),
            ("parent folder with a trailing blank", ".. /outside/evil.txt"),
            ("absolute path", "{outside_unix}/absolute.txt"),
            ("drive letter", "{outside_win}\\drive.txt"),
            ("drive-relative", "Z:drive-relative.txt"),
            ("device path", "\\\\?\\{outside_win}\\device.txt"),
            ("stream name", "first.txt:stream"),
        ]
        for i, (name, hostile) in enumerate(cases):
            with self.subTest(name):
                case = self.case_folder(f"hostile{i}")
                outside = os.path.join(case, "outside")
                hostile = hostile.format(outside_unix=outside, outside_win=win(outside))
                archive = self.fixture(f"hostile{i}.zip")
                python_zip(archive, [("first.txt", b"harmless"), (hostile, b"evil")])
                code, output = run(command(archive, os.path.join(case, "target")), os.path.join(case, "cwd"))
                self.assertEqual(code, 2, output)
                # Not even the harmless entry before it: the case folder holds only its empty cwd.
                self.assertEqual(tree(case), {"cwd/": None})

    def test_refuses_names_windows_cannot_hold_and_writes_nothing(self):
        # Each comes after a harmless entry, which must not be written either.
        cases = [
            ("device", "CON"),
            ("device, lower case", "nul"),
            ("device with an extension", "prn.txt"),
            ("device with two extensions", "Aux.tar.gz"),
            ("numbered device", "COM1"),
            ("numbered device with an extension", "lpt9.log"),
            ("device with trailing dots", "con..."),
            ("device with trailing blanks", "NUL  "),
            ("device with a blank before the extension", "com3 .txt"),
            ("device as a folder", "a/LPT1/file.txt"),
            ("device folder entry", "a/aux/"),
            ("trailing dot", "a/name."),
            ("trailing blank", "a/name /file.txt"),
            ("wildcard", "a/st*r.txt"),
            ("question mark", "a/what?.txt"),
            ("angle bracket", "a/<b>.txt"),
            ("pipe", "a/p|q.txt"),
            ("double quote", 'a/"q".txt'),
            ("control character", "a/bell\x07.txt"),
            ("superscript port", "COM\u00b9"),
            ("superscript printer with an extension", "lpt\u00b3.txt"),
            ("superscript port as a folder", "a/Com\u00b2/file.txt"),
            ("a name of 256 characters", "a/" + "n" * 252 + ".txt"),
        ]
        for i, (name, hostile) in enumerate(cases):
            with self.subTest(name):
                self.assert_refused_writing_nothing(f"unholdable{i}", [("first.txt", b"harmless"),
                                                                       (hostile, b"device or worse")])

    def test_names_that_only_look_like_devices_extract(self):
        entries = {"console.txt": b"1", "COM10": b"2", "LPT0.txt": b"3", "nul_file": b"4", "a/CONx/b.txt": b"5",
                   "COM\u2074.txt": b"6"}
        archive = self.fixture("device-lookalikes.zip")
        python_zip(archive, list(entries.items()))
        case = self.case_folder("device-lookalikes")
        target = os.path.join(case, "target")
        code, output = run(command(archive, target), os.path.join(case, "cwd"))
        self.assertEqual(code, 0, output)
        self.assertEqual({k: v for k, v in tree(target).items() if v is not None}, entries)

    def test_refuses_a_path_that_is_both_file_and_folder(self):
        cases = [
            ("file, then a file below it", [("a/b", b"file"), ("a/b/c.txt", b"below")]),
            ("folder entry, then a file of its name", [("a/b/", b""), ("a/b", b"file")]),
            ("file below, then the file", [("a/b/c.txt", b"below"), ("a/B", b"file")]),
            ("other case, other separator", [("x\\Y.txt", b"file"), ("X/y.TXT/z", b"below")]),
        ]
        for i, (name, entries) in enumerate(cases):
            with self.subTest(name):
                self.assert_refused_writing_nothing(f"kind{i}", [("first.txt", b"harmless")] + entries)

    def test_refuses_entries_of_one_path(self):
        # Windows keeps one file where the archive has two: the second would
        # silently replace the first.
        cases = [
            ("the same name twice", [("a/x.txt", b"1"), ("a/x.txt", b"2")]),
            ("names that differ only by case", [("a/x.txt", b"1"), ("A/X.TXT", b"2")]),
            ("folder entries that differ only by case", [("d/", b""), ("D/", b"")]),
            ("the same name through a dot folder", [("x.txt", b"1"), ("./x.txt", b"2")]),
        ]
        for i, (name, entries) in enumerate(cases):
            with self.subTest(name):
                self.assert_refused_writing_nothing(f"same{i}", [("first.txt", b"harmless")] + entries)

    def test_paths_too_long_for_windows_are_refused_up_front(self):
        # Windows (before long-path support) makes no file whose whole path has
        # MAX_PATH (260) characters or more, and no folder without room for an
        # 8.3 name in it; Wine makes both, so the bound is the extractor's own.
        def entries_to(label, file_path_length, folder_path_length):
            prefix = len(win(os.path.join(self.root, "cases", label, "target"))) + 1
            folder = "d" * (folder_path_length - prefix)
            leaf = "f" * (file_path_length - prefix - len(folder) - 1)
            self.assertTrue(len(folder) <= 255 and len(leaf) <= 255)
            return [("first.txt", b"harmless"), (folder + "/", b""), (folder + "/" + leaf, b"long")]

        cases = [("a file path of 260 characters", "long-file", 260, 200),
                 ("a folder path of 248 characters", "long-folder", 252, 248)]
        for name, label, file_length, folder_length in cases:
            with self.subTest(name):
                self.assert_refused_writing_nothing(label, entries_to(label, file_length, folder_length))

        with self.subTest("259 and 247 characters"):
            label = "longest"
            entries = entries_to(label, 259, 247)
            archive = self.fixture(label + ".zip")
            python_zip(archive, entries)
            case = self.case_folder(label)
            target = os.path.join(case, "target")
            code, output = run(command(archive, target), os.path.join(case, "cwd"))
            self.assertEqual(code, 0, output)
            self.assertEqual(tree(target), {name: (data if not name.endswith("/") else None)
                                            for name, data in entries})

    def test_refuses_archives_that_unpack_beyond_bounds(self):
        zeros = b"\0" * 1_000_000  # deflates about a thousand to one
        cases = [
            ("more than 64 times the archive", [("first.txt", b"harmless"), ("bomb.bin", zeros)]),
            ("more than 10,000 entries", [("first.txt", b"harmless")] +
             [(f"many/{i}.txt", b"") for i in range(10_000)]),
        ]
        for i, (name, entries) in enumerate(cases):
            with self.subTest(name):
                self.assert_refused_writing_nothing(f"bound{i}", entries)

    def test_unpacks_up_to_the_bounds(self):
        data = (b"\0" * 63 + b"x") * 1000 + random.Random(3).randbytes(900)
        cases = [
            ("10,000 entries", [(f"many/{i}.txt", b"") for i in range(9_999)] + [("last.txt", b"last")]),
            ("about 50 times the archive", [("ratio.bin", data)]),
        ]
        for i, (name, entries) in enumerate(cases):
            with self.subTest(name):
                archive = self.fixture(f"at-the-bounds{i}.zip")
                python_zip(archive, entries)
                if i == 1:
                    self.assertTrue(40 < len(data) / os.path.getsize(archive) < 64)
                case = self.case_folder(f"at-the-bounds{i}")
                target = os.path.join(case, "target")
                code, output = run(command(archive, target), os.path.join(case, "cwd"))
                self.assertEqual(code, 0, output)
                self.assertEqual({k: v for k, v in tree(target).items() if v is not None}, dict(entries))

    def test_bad_command_lines_exit_7(self):
        case = self.case_folder("command-lines")
        archive = win(self.fixture("deflate.zip"))
        target = win(os.path.join(case, "target")) + "\\"
        cases = [
            ("no arguments", "Extract.dll"),
            ("command only", "Extract.dll x"),
            ("unknown command", f'Extract.dll t "{archive}" -o"{target}" *.* -r -y'),
            ("no target folder", f'Extract.dll x "{archive}" *.* -r -y'),
            ("empty target folder", f'Extract.dll x "{archive}" -o *.* -r -y'),
            ("unknown switch", f'Extract.dll x "{archive}" -o"{target}" *.* -r -y -q'),
            ("other file mask", f'Extract.dll x "{archive}" -o"{target}" *.txt -r -y'),
        ]
        for name, line in cases:
            with self.subTest(name):
                code, output = run(line, os.path.join(case, "cwd"))
                self.assertEqual(code, 7, output)
                self.assertFalse(os.path.exists(os.path.join(case, "target")))


def main():
    global WINE, BIN, LIMIT, DEADLINE
    parser = argparse.ArgumentParser()
    parser.add_argument("--wine", required=True)
    parser.add_argument("--bin", required=True)
    parser.add_argument("--limit", type=float, default=285)
    args, rest = parser.parse_known_args()
    WINE, BIN, LIMIT = args.wine, args.bin, args.limit
    DEADLINE = time.monotonic() + LIMIT
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
