CREATE TABLE seznam (id INTEGER PRIMARY KEY, kod TEXT, kods TEXT, nazev TEXT, cena TEXT, text1 TEXT, text2 TEXT, text3 TEXT)
