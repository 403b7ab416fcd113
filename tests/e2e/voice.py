#!/usr/bin/python3
"""The speech server's only voice in the Orca tests: an output module that
writes each utterance, with the time it begins, to the transcript named in its
configuration file, then takes as long as espeak-ng would to say it. A stop
ends the utterance at once. (The generic module runs a command per utterance
and loses a stop that comes just after one begins; the utterance then plays to
its end while the screen reader waits, and under held keys those waits pile up
into seconds of stale key echo.)"""
import html
import re
import subprocess
import sys
import threading
import time

lock = threading.Lock()
stopped = threading.Event()


def send(*lines):
    with lock:
        sys.stdout.write("".join(line + "\n" for line in lines))
        sys.stdout.flush()


def block():
    """The lines up to the lone dot, leading dots unstuffed."""
    lines = []
    while (line := sys.stdin.readline().rstrip("\n")) != ".":
        lines.append(line[1:] if line.startswith(".") else line)
    return "\n".join(lines)


def say(words, stop):
    with open(transcript, "a", encoding="utf-8") as out:
        out.write(f"{time.time():.9f}\t{words}\n")
    send("701 BEGIN")
    wave = subprocess.run(["espeak-ng", "--stdout", words], capture_output=True).stdout
    stop.wait(max(len(wave) - 44, 0) / 44100)
    send("703 STOP" if stop.is_set() else "702 END")


with open(sys.argv[1], encoding="utf-8") as conf:
    transcript = conf.read().strip()
replies = {"SET": ("203 OK RECEIVING SETTINGS", "203 OK SETTINGS RECEIVED"),
           "AUDIO": ("207 OK RECEIVING AUDIO SETTINGS", "203 OK AUDIO INITIALIZED"),
           "LOGLEVEL": ("207 OK RECEIVING LOGLEVEL SETTINGS", "203 OK LOGLEVEL SET")}
while command := sys.stdin.readline():
    command = command.strip()
    if command == "INIT":
        send("299-transcript voice", "299 OK LOADED SUCCESSFULLY")
    elif command in replies:
        send(replies[command][0])
        block()
        send(replies[command][1])
    elif command in ("SPEAK", "CHAR", "KEY", "SOUND_ICON"):
        send("202 OK RECEIVING MESSAGE")
        words = html.unescape(re.sub(r"<[^>]*>", "", block()))
        send("200 OK SPEAKING")
        stopped.set()
        stopped = threading.Event()
        if command != "SOUND_ICON":
            threading.Thread(target=say, args=(words, stopped), daemon=True).start()
        else:
            send("701 BEGIN", "702 END")
    elif command in ("STOP", "PAUSE"):
        stopped.set()
    elif command == "LIST VOICES":
        send("200-en\ten\tMALE1", "200 OK VOICE LIST SENT")
    elif command == "QUIT":
        send("210 OK QUIT")
        break
    else:
        send("300 ERR UNKNOWN COMMAND")
