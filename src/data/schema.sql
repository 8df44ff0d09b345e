-- The seven tables of the database. tree, tree_documents and test_pytania
-- carry the delivered content and are only read by the program; the others
-- are written by it. Tables of the program's own follow at the end.

CREATE TABLE IF NOT EXISTS tree (
    item_id      INTEGER PRIMARY KEY,
    parent_id    INTEGER,
    node_type_id INTEGER,
    nazwa        TEXT,
    hint         TEXT,
    ImageIndex   INTEGER,
    kolejnosc    INTEGER
);

CREATE INDEX IF NOT EXISTS tree_by_parent ON tree (parent_id, kolejnosc);

CREATE TABLE IF NOT EXISTS tree_documents (
    item_id INTEGER PRIMARY KEY,
    rtf_doc BLOB
);

CREATE TABLE IF NOT EXISTS test_pytania (
    id_pytanie         INTEGER PRIMARY KEY,
    pytanie            BLOB,
    odp_A              TEXT,
    odp_B              TEXT,
    odp_C              TEXT,
    poprawna_odpowiedz TEXT NOT NULL,
    id_dzial           INTEGER
);

CREATE INDEX IF NOT EXISTS test_pytania_by_dzial ON test_pytania (id_dzial);

CREATE TABLE IF NOT EXISTS test_pytania_random (
    id_pytanie INTEGER PRIMARY KEY,
    random     INTEGER
);

-- lp is the rowid without AUTOINCREMENT: once the table has been emptied the
-- numbering starts again at 1, in the order the inserting select delivers.
CREATE TABLE IF NOT EXISTS test_zestaw (
    lp                  INTEGER PRIMARY KEY,
    id_pytanie          INTEGER NOT NULL,
    poprawna_odpowiedz  TEXT NOT NULL,
    udzielona_odpowiedz TEXT,
    random              INTEGER
);

CREATE TABLE IF NOT EXISTS test_T_zestaw (
    lp                  INTEGER PRIMARY KEY,
    id_pytanie          INTEGER NOT NULL,
    poprawna_odpowiedz  TEXT NOT NULL,
    udzielona_odpowiedz TEXT,
    random              INTEGER
);

-- A deleted note's number is never given to a new one, so the newest note
-- always has the highest note_id.
CREATE TABLE IF NOT EXISTS notes (
    note_id        INTEGER PRIMARY KEY AUTOINCREMENT,
    row_added_dttm TEXT NOT NULL,
    tresc          BLOB NOT NULL
);

-- Tables of the program's own.

-- Facts about the database itself; 'content_stamp' names the content it
-- holds, so that a user's copy knows when the delivered content differs.
CREATE TABLE IF NOT EXISTS voltaris_info (
    klucz   TEXT PRIMARY KEY,
    wartosc TEXT NOT NULL
);

-- The following come with the delivered content and are refreshed with
-- tree, tree_documents and test_pytania; texts are Markdown.

-- Why a question's right answer is right, and the document (a tree node of
-- type 1) that teaches it.
CREATE TABLE IF NOT EXISTS pytania_wyjasnienia (
    id_pytanie  INTEGER PRIMARY KEY,
    wyjasnienie TEXT NOT NULL,
    item_id     INTEGER NOT NULL
);

-- Open questions for the oral drill; dla is 'D' or 'E', the position they
-- are asked more of. Their ids are a numbering of their own.
CREATE TABLE IF NOT EXISTS ustne_pytania (
    id_ustne INTEGER PRIMARY KEY,
    id_dzial INTEGER NOT NULL,
    dla      TEXT NOT NULL,
    item_id  INTEGER NOT NULL,
    pytanie  TEXT NOT NULL
);

CREATE INDEX IF NOT EXISTS ustne_pytania_by_dzial ON ustne_pytania (id_dzial);

-- The points of an oral question's model answer, in order from 1.
CREATE TABLE IF NOT EXISTS ustne_punkty (
    id_ustne INTEGER NOT NULL,
    nr       INTEGER NOT NULL,
    tresc    TEXT NOT NULL,
    PRIMARY KEY (id_ustne, nr)
);

-- The plain text of each question of test_pytania and of its three answers,
-- exactly as their RTF shows it, so that the bank can be searched without
-- reading its RTF. A question without a row here is read from its RTF.
CREATE TABLE IF NOT EXISTS pytania_tekst (
    id_pytanie INTEGER PRIMARY KEY,
    pytanie    TEXT NOT NULL,
    odp_A      TEXT NOT NULL,
    odp_B      TEXT NOT NULL,
    odp_C      TEXT NOT NULL
);

-- Tables of the program's own that hold the user's data: the history of
-- scored tests. The content build creates them when missing and never
-- empties them. rodzaj: 1 exam, 2 thematic, 3 retake of the wrong answers,
-- 4 practice of the weakest sections, 5 oral drill (known as right, not known
-- as wrong; its questions are not listed in historia_odpowiedzi).
CREATE TABLE IF NOT EXISTS historia_testow (
    id_testu INTEGER PRIMARY KEY AUTOINCREMENT,
    data     TEXT NOT NULL,
    rodzaj   INTEGER NOT NULL,
    pytan    INTEGER NOT NULL,
    poprawne INTEGER NOT NULL,
    bledne   INTEGER NOT NULL,
    procent  INTEGER NOT NULL,
    zdany    INTEGER NOT NULL
);

CREATE INDEX IF NOT EXISTS historia_testow_by_data ON historia_testow (data);

-- Each question of a recorded test. id_dzial is the question's section when
-- it was answered, so the past keeps its counts after the bank changes.
-- Stored in key order, so that the answers of recent tests are read in one sweep.
CREATE TABLE IF NOT EXISTS historia_odpowiedzi (
    id_testu            INTEGER NOT NULL,
    lp                  INTEGER NOT NULL,
    id_pytanie          INTEGER NOT NULL,
    id_dzial            INTEGER,
    poprawna_odpowiedz  TEXT NOT NULL,
    udzielona_odpowiedz TEXT,
    PRIMARY KEY (id_testu, lp)
) WITHOUT ROWID;

CREATE INDEX IF NOT EXISTS historia_odpowiedzi_by_pytanie ON historia_odpowiedzi (id_pytanie);

-- The oral drill's repetition boxes, a user table like the history: each
-- open question asked so far, its box (1 to 5) and the day it is due again
-- (yyyy-MM-dd).
CREATE TABLE IF NOT EXISTS ustne_powtorki (
    id_ustne INTEGER PRIMARY KEY,
    pudelko  INTEGER NOT NULL,
    termin   TEXT NOT NULL
);
