// Prints every row of the table Contents of a Jet file as read by mdb-reader (an independent
// reader), one JSON object per line in the table's order, with the diary's twelve columns.
// usage: node dump.mjs FILE.mdb
import { readFileSync } from "node:fs";
import MDBReader from "mdb-reader";

const columns = ["Day", "Number", "Title", "Contents", "extend", "excerpt", "Genre", "Private",
  "PublishTime", "Weather", "TrackBack", "ImportMark"];
const reader = new MDBReader(readFileSync(process.argv[2]));
const table = reader.getTable("Contents");
for (const row of table.getData()) {
  const picked = {};
  for (const column of columns) {
    picked[column] = row[column] === undefined ? null : row[column];
  }
  process.stdout.write(JSON.stringify(picked) + "\n");
}
