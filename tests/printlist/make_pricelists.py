#!/usr/bin/python3
"""Writes one small price list three ways into the folder given: pricelist.xlsx and
pricelist.ods as a spreadsheet program saves them (typed numbers and dates with their number
formats, empty cells, Czech text, a second sheet) and pricelist.csv, the same sheet as a
spreadsheet program exports it shown (UTF-8 with its mark, commas, quotes). Also
locked.ods, a document whose content is encrypted.

With "big FOLDER ROWS": the benchmark's price list of ROWS rows as CSV and XLSX."""
import csv
import datetime
import os
import re
import sys
import zipfile

from odf.opendocument import OpenDocumentSpreadsheet
from odf.table import Table, TableCell, TableRow
from odf.text import P
from openpyxl import Workbook

HEADER = ["Kód", "Název", "Cena", "Množství", "Jednotka", "Akce", "Počet", "Datum", "Poznámka"]
# Values as typed into the sheet; None is an empty cell.
ROWS = [
    [8594001234567, "Máslo čerstvé", 14.95, 250, "g", 16.9, 2,
     datetime.date(2026, 3, 15), "Chladit"],
    ["A-17", "Žluťoučký kůň – hračka", 1299, 1, "ks", None, 1,
     datetime.date(2026, 12, 1), None],
    [42, "Minerální voda, \"perlivá\"", 12.9, 1.5, "l", None, 3, None, "Vratná\nláhev"],
    [7, "Rýže dlouhozrnná", 34.9, 1, "kg", 39.9, 0, None, None],
]
PRICE_COLUMNS = {2, 5}  # shown with two decimals and grouped thousands


def shown(column, value):
    """The cell as a Czech spreadsheet program shows it."""
    if value is None:
        return ""
    if isinstance(value, datetime.date):
        return value.strftime("%d.%m.%Y")
    if column in PRICE_COLUMNS:
        whole, frac = f"{value:.2f}".split(".")
        groups = []
        while len(whole) > 3:
            groups.insert(0, whole[-3:])
            whole = whole[:-3]
        groups.insert(0, whole)
        return " ".join(groups) + "," + frac
    if isinstance(value, float):
        return repr(value).replace(".", ",")
    return str(value)


def write_xlsx(path):
    book = Workbook()
    sheet = book.active
    sheet.title = "Ceník"
    sheet.append(HEADER)
    for r, row in enumerate(ROWS, start=2):
        for c, value in enumerate(row, start=1):
            if value is None:
                continue
            cell = sheet.cell(row=r, column=c, value=value)
            if isinstance(value, datetime.date):
                cell.number_format = "dd.mm.yyyy"
            elif c - 1 in PRICE_COLUMNS:
                cell.number_format = "#,##0.00"
    other = book.create_sheet("Akce")
    other.append(["Kód", "Název"])
    other.append(["X1", "Jiný list"])
    book.save(path)
    share_strings(path, "xl/worksheets/sheet1.xml")


def share_strings(path, member):
    """Moves the texts of one sheet into the shared texts table, as most programs save them;
    the other sheets keep theirs inline."""
    with zipfile.ZipFile(path) as z:
        files = {name: z.read(name) for name in z.namelist()}
    strings = []

    def shared(match):
        text = match.group(2)
        if text not in strings:
            strings.append(text)
        return f'<c r="{match.group(1)}" t="s"><v>{strings.index(text)}</v></c>'

    sheet = files[member].decode()
    sheet = re.sub(r'<c r="([A-Z]+[0-9]+)" t="inlineStr"><is><t[^>]*>(.*?)</t></is></c>',
                   shared, sheet, flags=re.S)
    files[member] = sheet.encode()
    items = "".join(f'<si><t xml:space="preserve">{t}</t></si>' for t in strings)
    files["xl/sharedStrings.xml"] = (
        '<?xml version="1.0" encoding="UTF-8"?><sst xmlns="http://schemas.openxmlformats.org/'
        f'spreadsheetml/2006/main" count="{len(strings)}" uniqueCount="{len(strings)}">'
        f'{items}</sst>').encode()
    types = files["[Content_Types].xml"].decode()
    if "sharedStrings" not in types:
        types = types.replace(
            "</Types>", '<Override PartName="/xl/sharedStrings.xml" ContentType="application/'
            'vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/></Types>')
    files["[Content_Types].xml"] = types.encode()
    rels = files["xl/_rels/workbook.xml.rels"].decode()
    if "sharedStrings" not in rels:
        rels = rels.replace(
            "</Relationships>", '<Relationship Id="rIdShared" Type="http://schemas.openxmlformats'
            '.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/>'
            "</Relationships>")
    files["xl/_rels/workbook.xml.rels"] = rels.encode()
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        for name, data in files.items():
            z.writestr(name, data)


def ods_cell(column, value):
    if value is None:
        return TableCell()
    text = shown(column, value)
    if isinstance(value, datetime.date):
        cell = TableCell(valuetype="date", datevalue=value.isoformat())
    elif isinstance(value, (int, float)):
        cell = TableCell(valuetype="float", value=value)
    else:
        cell = TableCell(valuetype="string")
    for line in text.split("\n"):
        cell.addElement(P(text=line))
    return cell


def write_ods(path):
    doc = OpenDocumentSpreadsheet()
    sheet = Table(name="Ceník")
    row = TableRow()
    for name in HEADER:
        row.addElement(ods_cell(0, name))
    sheet.addElement(row)
    for values in ROWS:
        row = TableRow()
        for c, value in enumerate(values):
            row.addElement(ods_cell(c, value))
        sheet.addElement(row)
    # Spreadsheet programs close a sheet with one row standing for a million empty ones.
    sheet.addElement(TableRow(numberrowsrepeated=1048000))
    doc.spreadsheet.addElement(sheet)
    other = Table(name="Akce")
    row = TableRow()
    row.addElement(ods_cell(0, "X1"))
    other.addElement(row)
    doc.spreadsheet.addElement(other)
    doc.save(path)


def write_csv(path):
    with open(path, "w", encoding="utf-8-sig", newline="") as f:
        out = csv.writer(f, delimiter=",", quoting=csv.QUOTE_MINIMAL, lineterminator="\r\n")
        out.writerow(HEADER)
        for values in ROWS:
            out.writerow([shown(c, v) for c, v in enumerate(values)])


def write_locked_ods(path):
    with zipfile.ZipFile(path, "w") as z:
        z.writestr("mimetype", "application/vnd.oasis.opendocument.spreadsheet")
        z.writestr("META-INF/manifest.xml",
                   '<?xml version="1.0" encoding="UTF-8"?>'
                   '<manifest:manifest xmlns:manifest="urn:oasis:names:tc:opendocument:xmlns:'
                   'manifest:1.0"><manifest:file-entry manifest:full-path="content.xml" '
                   'manifest:media-type="text/xml"><manifest:encryption-data '
                   'manifest:checksum-type="SHA1/1K" manifest:checksum="AAAA"/>'
                   '</manifest:file-entry></manifest:manifest>')
        z.writestr("content.xml", os.urandom(256))


def write_big(folder, rows):
    """The benchmark's price list of `rows` rows, as CSV and as XLSX holding the same data."""
    from openpyxl.cell import WriteOnlyCell
    header = ["Kód", "Název", "Cena", "Balení", "MJ", "Akce", "Počet"]
    book = Workbook(write_only=True)
    sheet = book.create_sheet("Ceník")
    sheet.append(header)
    with open(os.path.join(folder, f"big{rows}.csv"), "w", encoding="utf-8", newline="") as f:
        out = csv.writer(f, lineterminator="\r\n")
        out.writerow(header)
        for i in range(rows):
            price = 10 + (i % 997) / 100
            sale = price + 2 if i % 3 == 0 else None
            values = [100000 + i, f"Žluťoučký kůň č. {i}", price, 250 + i % 7, "g", sale, 1]
            out.writerow([shown(2 if c in (2, 5) else 0, v) if c in (2, 5) else
                          ("" if v is None else str(v)) for c, v in enumerate(values)])
            cells = []
            for c, v in enumerate(values):
                cell = WriteOnlyCell(sheet, value=v)
                if c in (2, 5) and v is not None:
                    cell.number_format = "#,##0.00"
                cells.append(cell)
            sheet.append(cells)
    book.save(os.path.join(folder, f"big{rows}.xlsx"))
    share_strings(os.path.join(folder, f"big{rows}.xlsx"), "xl/worksheets/sheet1.xml")


def main():
    if len(sys.argv) == 4 and sys.argv[1] == "big":
        write_big(sys.argv[2], int(sys.argv[3]))
        return
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    write_xlsx(os.path.join(folder, "pricelist.xlsx"))
    write_ods(os.path.join(folder, "pricelist.ods"))
    write_csv(os.path.join(folder, "pricelist.csv"))
    write_locked_ods(os.path.join(folder, "locked.ods"))


if __name__ == "__main__":
    main()
