-- The seven tables of the database. tree, tree_documents and test_pytania
-- carry the delivered content and are only read by the program; the others
-- are written by it.

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
