#!/usr/bin/env python3
"""Writes the seed corpora under fuzz/corpus/: a few small inputs per target,
in the input layouts the targets' comments describe, with the byte layouts
the unit tests use. Run it again after changing a layout."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
FIRMWARE = [100, 250, 299, 300, 304, 305, 306, 307, 308, 309, 402, 403, 404]
SIZES = {0: 9, 2: 72, 3: 20, 5: 214, 6: 476}


def net_size(version):
    return 108 if version < 300 else 111 if version < 403 else 117


def blocks_of(version):
    blocks = [0, 1, 2, 3]
    if version >= 300:
        blocks.append(5)
    if version >= 305:
        blocks.append(6)
    return blocks


def block_size(block, version):
    return net_size(version) if block == 1 else SIZES[block]


def sum16(data):
    total = 0
    for i in range(0, len(data) - 1, 2):
        total += data[i] | data[i + 1] << 8
        total = (total & 0xFFFF) + (total >> 16)
    if len(data) % 2:
        total += data[-1]
        total = (total & 0xFFFF) + (total >> 16)
    return total


def packet(ident, payload):
    head = b"HDRV1.0\0" + struct.pack("<HHHH", 16 + len(payload), 16, ident, 0)
    whole = head + payload
    check = ~sum16(whole) & 0xFFFF
    return whole[:14] + struct.pack("<H", check) + whole[16:]


def chunk(data):
    return struct.pack("<H", len(data)) + data


def pattern(n, seed):
    return bytes((seed + i) & 0xFF for i in range(n))


def reflected_crc(data, polynomial):
    """Both update frame checks: reflected, started at 0, no final XOR."""
    crc = 0
    for b in data:
        crc ^= b
        for _ in range(8):
            crc = (crc >> 1) ^ polynomial if crc & 1 else crc >> 1
    return crc


def crc8(data):
    return reflected_crc(data, 0x8C)


def crc32(data):
    return reflected_crc(data, 0xEDB88320)


def name_field(text):
    return text.encode().ljust(16, b"\0")[:16]


def eraw(major, minor, image, date="01.02.2024 10:20:30"):
    name = f"KVTW-{major}.{minor}".encode()
    body = struct.pack("<H", len(name)) + name + struct.pack("<H", len(date)) + date.encode() + image
    size = 6 + len(body)
    head = struct.pack("<I", size | 0x80000000)
    file = head + b"\0\0" + body
    covered = file[: size & 0xFFFF]
    return head + struct.pack("<H", sum16(covered)) + body


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def block_reply():
    for version in (250, 304, 305, 403):
        choice = FIRMWARE.index(version) << 1
        replies = b"".join(
            chunk(packet(b, pattern(block_size(b, version), 16 * b))) for b in blocks_of(version))
        write("block_reply", f"read-{version}", bytes([choice, 3]) + replies)
    # The first reply split across two reads, the second after a silence.
    first = packet(0, pattern(9, 1))
    write("block_reply", "read-split-250", bytes([FIRMWARE.index(250) << 1, 0]) + chunk(first[:10]) +
          chunk(first[10:]) + chunk(b"") + chunk(packet(1, pattern(108, 7))))
    for version in (304, 403):
        choice = FIRMWARE.index(version) << 1 | 1
        acks = b"".join(chunk(packet(128 + b, b"")) for b in blocks_of(version))
        write("block_reply", f"write-{version}", bytes([choice, 0]) + acks)
    error = packet(192, struct.pack("<I", 5))
    write("block_reply", "write-error-403", bytes([FIRMWARE.index(403) << 1 | 1, 0]) + chunk(packet(128, b"")) +
          chunk(error))


def text_reply():
    write("text_reply", "version-309", b"\0" + chunk(b"KVTW-3.09\0") + chunk(b"\x04"))
    write("text_reply", "version-garbage", b"\0" + chunk(b"KVTW-999.1\0") + chunk(b"KVTW-4.03\0"))
    write("text_reply", "erase", b"\1" + chunk(b"ERASE_START") + chunk(b"ERASE_POS=10\0") +
          chunk(b"ERASE_POS=90ERASE_POS=100") + chunk(b"ERASE_POS=100"))
    write("text_reply", "calibrate", b"\2" + chunk(b"STARTED") + chunk(b"MMA_CALIBRATING") + chunk(b"MMA_NORMAL"))
    write("text_reply", "can-state",
          b"\3CAN_STATE:18FEF100,FFFF2A00,C3FFFFFF,0CF00400,00000000,0000007D;")
    write("text_reply", "can-state-cut", b"\3CAN_STATE:18FEF100,FFFF2A00,C3FFFFFF,0CF00400,00000000,0000")
    write("text_reply", "one-wire", b"\4\xff" +
          chunk(b"1WARE_ADDR:28:9F:3C:1A:05:00:00:38;01:5E:A2:13:0C:00:00:BB;28:ZZ:00;28:41:77:2B:05:00:00:B1;"))


def block_decoders():
    for block_index, block in enumerate([0, 1, 2, 3, 5, 6]):
        for version in (250, 304, 403):
            if block not in blocks_of(version) and block != 1:
                continue
            choice = block_index + 6 * FIRMWARE.index(version)
            layout = 0 if version < 300 else 1 if version < 403 else 2
            write("block_decoders", f"block{block}-{version}",
                  bytes([choice, layout, 3]) + pattern(block_size(block, version), 0x41 + block))


def profile_load():
    headers = {"V10": 250, "V30": 304, "V35": 305, "V43": 403}
    for tag, version in headers.items():
        head = f"Kovaltrak Plendoro Profile {tag[0]}{tag[1]}.{tag[2]}".encode()
        assert len(head) == 31
        records = b"".join(
            struct.pack("<II", b, block_size(b, version)) + pattern(block_size(b, version), b * 31)
            for b in blocks_of(version))
        write("profile_load", f"profile-{tag}", bytes([FIRMWARE.index(403), 3]) + head + records)


def settings_file():
    def entry(section, key, value, text):
        return chunk(section) + chunk(key) + chunk(value) + text

    write("settings_file", "crlf", entry(b"Settings", b"LastKvdFolder", b"/data/kvd/",
                                         b"[Settings]\r\nLastKvdFolder=/home/kvd/\r\nLastProfile=a.kvp\r\n"))
    write("settings_file", "lf-new-key", entry(b"Settings", b"Port", b"7000",
                                               b"; comment\n[Settings]\nLastKvdFolder = \"/data/kvd/\"\n\n[Other]\nX=1\n"))
    write("settings_file", "lone-cr-end", entry(b"Settings", b"Server", b"10.0.0.1",
                                                b"[Settings]\r\nLastKvdFolder=/data/kvd/\r"))
    write("settings_file", "cr-only", entry(b"Other", b"Y", b"2", b"[Settings]\rA=1\rB=2\r"))
    write("settings_file", "cp1251", entry(b"Settings", b"Folder", b"\xc4\xe0\xed\xed\xfb\xe5",
                                           b"[Settings]\r\nFolder=/\xcf\xe0\xef\xea\xe0/\r\n"))


def update_frames():
    serial = 5
    reply = b"+" + struct.pack("<IIB", 28, serial, 2) + name_field("KVTW-4.12") + struct.pack("<III", 1234, 0, 99)
    reply += bytes([crc8(reply)]) + b"\r\n"
    assert len(reply) == 41
    write("update_frames", "version-reply", b"\0" + reply)
    image = pattern(40, 3)
    frame = b"+" + struct.pack("<IIB", len(image) + 28, 1, 6) + name_field("KVTW-3.5") + struct.pack(
        "<II", 0, len(image)) + image + struct.pack("<I", crc32(image))
    frame += bytes([crc8(frame)]) + b"\r\n"
    assert len(frame) == len(image) + 41
    write("update_frames", "image-reply", bytes([1, 3, 5]) + frame)
    write("update_frames", "eraw-4.12", b"\2" + eraw(4, 12, pattern(64, 9)))
    write("update_frames", "eraw-far-date", b"\2" + eraw(4, 12, pattern(8, 1), date="01.01.-2147483648 00:00:00"))
    write("update_frames", "eraw-no-date", b"\2" + eraw_no_date(3, 9, pattern(16, 1)))


def eraw_no_date(major, minor, image):
    name = f"KVTW-{major}.{minor}".encode()
    body = struct.pack("<H", len(name)) + name + image
    size = 6 + len(body)
    head = struct.pack("<I", size)
    return head + struct.pack("<H", sum16(head + b"\0\0" + body)) + body


def version_reply(serial, name, image_length):
    reply = b"+" + struct.pack("<IIB", 28, serial, 2) + name_field(name) + struct.pack("<III", image_length, 0, 99)
    return reply + bytes([crc8(reply)]) + b"\r\n"


def image_reply(serial, name, image):
    frame = b"+" + struct.pack("<IIB", len(image) + 28, serial, 6) + name_field(name) + struct.pack(
        "<II", 0, len(image)) + image + struct.pack("<I", crc32(image))
    return frame + bytes([crc8(frame)]) + b"\r\n"


def update_client():
    write("update_client", "check", b"\0" + version_reply(40123, "KVTW-3.5", 0))
    image = pattern(100, 5)
    write("update_client", "download", b"\1" + version_reply(7, "KVTW-4.12", len(image)) +
          image_reply(7, "KVTW-4.12", image))
    write("update_client", "download-cut", b"\1" + version_reply(7, "KVTW-4.12", len(image)) +
          image_reply(7, "KVTW-4.12", image)[:60])


def settings_values():
    write("settings_values", "common", chunk(b"22220") + chunk(b"10,20,800,600") + chunk(b"192.168.1.10") +
          b"[COMMON]\r\nUpdatePort=0x5000\r\nMainForm=1,2,3\r\nUpdateServer=10.0.0.256\r\n"
          b"LastKvdFolder=/data/kvd///\r\n")
    write("settings_values", "edges", chunk(b"-2147483648") + chunk(b"-1,+2, 3,4x") + chunk(b"01.2.3.4") +
          b"[common]\nupdateport = 65536\nUpdateServer=1.2.3\n")


def serial_number():
    for name, text in (("plain", b"0005000"), ("signed", b" \t-17abc"), ("wraps", b"99999999999999999999")):
        write("serial_number", name, text)


def tty_sysfs():
    def port(flags, product, serial, vendor=b"0403\n", product_id=b"6001\n"):
        return bytes([flags]) + chunk(product) + chunk(serial) + chunk(vendor) + chunk(product_id)

    def process(pid, comm, target):
        return chunk(pid) + chunk(comm) + bytes([target])

    write("tty_sysfs", "tracker-and-holder",
          bytes([2]) + port(0, b"Kovaltrak WiFi\n", b"0005000\n") + port(10, b"FT232R USB UART\n", b"A50285BI\n") +
          bytes([2]) + process(b"345", b"minicom\n", 0x01) + process(b"12", b"bash\n", 0x00))
    write("tty_sysfs", "gone-deep-and-looped",
          bytes([3]) + port(0x13, b"Kovaltrak WiFi\n", b"1\n") + port(0x45, b"Kovaltrak\r\nWiFi", b"") +
          port(0x87, b"x", b"y") + bytes([1]) + process(b"7", b"getty \t\n", 0x51))


for make in (block_reply, text_reply, block_decoders, profile_load, settings_file, update_frames, update_client,
             settings_values, serial_number, tty_sysfs):
    make()
