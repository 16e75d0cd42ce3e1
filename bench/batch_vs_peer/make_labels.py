#!/usr/bin/env python3
"""Writes the same N price labels for both programs: a dravelin list file (Windows-1250, seven
;-separated values per line, CR LF) and a CSV with a key line for the peer's merge (UTF-8).

    make_labels.py N LIST_FILE CSV_FILE
"""
import sys

names = ["Chléb kmínový", "Máslo čerstvé", "Mléko polotučné", "Jablka Golden", "Sýr eidam",
         "Káva zrnková", "Čaj černý", "Rýže dlouhozrnná", "Těstoviny vřetena", "Olej řepkový"]


def label(i):
    code = f"{859400000 + i}"
    name = f"{names[i % len(names)]} {i % 500 + 1} g"
    price = f"{(i * 37) % 900 + 9},{i % 100:02d} Kč"
    text = f"skladem od {i % 28 + 1}. {i % 12 + 1}. 2024"
    return code, name, price, text


def main():
    n, list_path, csv_path = int(sys.argv[1]), sys.argv[2], sys.argv[3]
    with open(list_path, "wb") as lst, open(csv_path, "w", encoding="utf-8", newline="") as csv:
        csv.write("code,name,price,text\n")
        for i in range(1, n + 1):
            code, name, price, text = label(i)
            lst.write(f"{code};*{code}*;{name};{price};{text};;\r\n".encode("cp1250"))
            csv.write(f'{code},{name},"{price}",{text}\n')


if __name__ == "__main__":
    main()
