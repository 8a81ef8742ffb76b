"""The virtual printer as an independent RFC 2217 client sees it.

pySerial (Debian's python3-serial) opens rfc2217://127.0.0.1:<port>, reads
DSR and CTS while the printer's state is changed through its control socket,
and sends the bytes of a document, a bank layout and cheques.

Usage: rfc2217_client_test.py <virtual-printer program>
"""
import os
import socket
import subprocess
import sys
import tempfile
import time
import unittest

import serial

PROGRAM = None
WAIT_S = 10

ESC = b"\x1b"
# Value on line 2 from column 55 to 75; words on line 4 (columns 5 to 40) and
# line 5 (5 to 75); payee on line 7 from column 10; city on line 10 ending at
# column 30; cheque number at 60; day, month and year at 32, 36 and 50.
LAYOUT = b"025575040540050575071070103060323650"


def wait_until(condition, what):
    deadline = time.monotonic() + WAIT_S
    while not condition():
        if time.monotonic() > deadline:
            raise AssertionError("gave up waiting for " + what)
        time.sleep(0.02)


class VirtualPrinter:
    """One run of the program on a free port, with its log in a file."""

    def __init__(self, folder):
        self.out_dir = os.path.join(folder, "out")
        self.control_path = os.path.join(folder, "control")
        self.log_path = os.path.join(folder, "stdout-%d.txt" % time.monotonic_ns())
        with open(self.log_path, "wb") as log:
            self.process = subprocess.Popen(
                [PROGRAM, "--port", "0", "--busy-ms", "0",
                 "--state-dir", os.path.join(folder, "state"),
                 "--out-dir", self.out_dir, "--control", self.control_path],
                stdout=log, stderr=subprocess.DEVNULL)
        try:
            wait_until(lambda: "control: " in self.log(), "the printer to start")
        except AssertionError:
            self.stop()
            raise
        # The address comes first, alone on its line.
        self.url = self.log().splitlines()[0]

    def log(self):
        with open(self.log_path, encoding="utf-8", errors="replace") as f:
            return f.read()

    def control(self, command):
        with socket.socket(socket.AF_UNIX) as s:
            s.connect(self.control_path)
            s.sendall(command.encode() + b"\n")
            reply = b""
            while not reply.endswith(b"\n"):
                chunk = s.recv(256)
                if not chunk:
                    break
                reply += chunk
        if not reply.startswith(b"ok"):
            raise AssertionError("%s: %r" % (command, reply))

    def page(self, name):
        """Lines of a printed page, once its text and picture are saved."""
        path = os.path.join(self.out_dir, name)
        wait_until(lambda: "saved as " + path in self.log(), name)
        with open(path, encoding="utf-8") as f:
            return f.read().split("\n")

    def stop(self):
        self.process.terminate()
        try:
            self.process.wait(WAIT_S)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()


class Rfc2217Client(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.addCleanup(self.folder.cleanup)
        self.printer = VirtualPrinter(self.folder.name)
        self.addCleanup(lambda: self.printer.stop())
        self.assertTrue(self.printer.url.startswith("rfc2217://127.0.0.1:"), self.printer.url)
        self.port = self.open(self.printer)
        self.addCleanup(lambda: self.port.close())

    def open(self, printer):
        return serial.serial_for_url(printer.url, baudrate=9600, bytesize=8,
                                     parity=serial.PARITY_NONE,
                                     stopbits=serial.STOPBITS_TWO, timeout=1)

    def expect_lines(self, dsr, cts, what):
        wait_until(lambda: (self.port.dsr, self.port.cts) == (dsr, cts),
                   "%s: DSR %s, CTS %s" % (what, dsr, cts))

    def send(self, data):
        self.port.write(data)
        self.port.flush()

    def test_modem_lines_follow_the_printer_state(self):
        self.expect_lines(True, True, "ready at open")
        self.printer.control("paper off")
        self.expect_lines(True, False, "no paper")
        self.printer.control("paper on")
        self.printer.control("busy 60000")
        self.expect_lines(True, False, "busy")
        self.printer.control("busy 0")
        self.expect_lines(True, True, "ready again")
        self.printer.control("power off")
        self.expect_lines(False, False, "off")
        self.printer.control("power on")
        self.expect_lines(True, True, "on again")
        log = self.printer.log()
        for setting in ("baud rate 9600", "data bits 8", "parity none", "stop bits 2"):
            self.assertIn("link: " + setting, log)

    def test_text_and_form_feed_print_a_document(self):
        # 0xFF crosses the link doubled and arrives as one byte (ÿ in 1252).
        self.send(b"COPIA DE CHEQUE\nValor: R$ 500,00 \xff\n\x0c")
        lines = self.printer.page("document-0001.txt")
        self.assertEqual(lines[:2], ["COPIA DE CHEQUE", "Valor: R$ 500,00 \u00ff"])
        with open(os.path.join(self.printer.out_dir, "document-0001.png"), "rb") as png:
            self.assertEqual(png.read(8), b"\x89PNG\r\n\x1a\n")

    def test_stored_layout_survives_a_restart_and_places_the_cheque(self):
        self.send(ESC + b"L341" + LAYOUT + b"\x00")
        wait_until(lambda: "layout of bank 341 stored" in self.printer.log(), "the layout")
        self.port.close()
        self.printer.stop()
        self.printer = VirtualPrinter(self.folder.name)
        self.port = self.open(self.printer)

        self.send(ESC + b"B341" + ESC + b"FFULANO DE TAL$" + ESC + b"CSAO PAULO$"
                  + ESC + b"D081226" + ESC + b"V123456$")
        lines = self.printer.page("cheque-0001.txt")
        self.assertEqual(len(lines[:-1]), 20)
        self.assertEqual(lines[1][55:75], "************1.234,56")
        self.assertEqual(lines[3][5:], "UM MIL, DUZENTOS E TRINTA E QUATRO")
        self.assertEqual(lines[4][5:], "REAIS E CINQUENTA E SEIS CENTAVOS")
        self.assertEqual(lines[6][10:], "FULANO DE TAL")
        self.assertEqual(lines[9][21:30], "SAO PAULO")
        self.assertEqual(lines[9][32:], "08  dezembro      2026")
        self.assertTrue(os.path.exists(os.path.join(self.printer.out_dir, "cheque-0001.png")))

        # A bank the printer has no layout for is refused: logged, no page.
        self.send(ESC + b"B999" + ESC + b"V100$")
        wait_until(lambda: "bank 999 has no layout programmed" in self.printer.log(),
                   "the refusal")
        self.assertFalse(os.path.exists(os.path.join(self.printer.out_dir, "cheque-0002.txt")))


if __name__ == "__main__":
    PROGRAM = sys.argv.pop(1)
    unittest.main()
