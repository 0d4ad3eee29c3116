// Makes diary-odd-rows.mdb (Jet 4, no index) and diary-odd-rows.expected.jsonl: rows with Null/empty Day, Null Genre and odd times.
import com.healthmarketscience.jackcess.*;
import java.io.*;
import java.nio.charset.StandardCharsets;
import java.util.*;

public class MakeOddRows {
  static final String[] COLS = {"Day", "Number", "Title", "Contents", "extend", "excerpt",
      "Genre", "Private", "PublishTime", "Weather", "TrackBack", "ImportMark"};

  static Object[] row(String day, String title, String contents, String extend, String excerpt,
      String genre, boolean priv, String pub, String im) {
    return new Object[]{day, (short) 1, title, contents, extend, excerpt, genre, priv, pub, null, null, im};
  }

  static final List<Object[]> ROWS = List.of(
      row(null, "Null day", "body a", null, null, "日記", false, "2010/04/30 08:00:00", null),
      row("2010/05/01", "Null genre", "body b", null, null, null, false, "2010/05/01 10:00:00", null),
      row("", "No DATE in an earlier import", "body d", "", "", "日記", false, "", "2009/02/03 4:05:06 byPontivo.dll"),
      row("2010/05/02", "One-digit parts, no seconds", "body e", null, null, "日記", false, "2010/5/2 9:05", null),
      row("2010/05/03", "Null time", "body f", null, null, "日記", true, null, null),
      row("2010/05/04", "Hour 25", "body g", null, null, "日記", false, "2010/05/04 25:00:00", null),
      row("2010/05/05", "Date only", "body h", null, null, "旅行", false, "2010/05/06", null),
      row("2010/05/06", "Plain", "body i", null, null, "一般", false, "2010/05/06 21:30:00", null));

  static ColumnBuilder text(String name, int len) {
    return new ColumnBuilder(name, DataType.TEXT).setLengthInUnits(len).setCompressedUnicode(true);
  }
  static ColumnBuilder memo(String name) {
    return new ColumnBuilder(name, DataType.MEMO).setCompressedUnicode(true);
  }

  public static void main(String[] a) throws Exception {
    File out = new File(a[0]);
    out.delete();
    try (Database db = new DatabaseBuilder(out).setFileFormat(Database.FileFormat.V2000).create()) {
      Table t = new TableBuilder("Contents")
          .addColumn(text("Day", 10)).addColumn(new ColumnBuilder("Number", DataType.INT))
          .addColumn(text("Title", 255)).addColumn(memo("Contents")).addColumn(memo("extend"))
          .addColumn(memo("excerpt")).addColumn(text("Genre", 50))
          .addColumn(new ColumnBuilder("Private", DataType.BOOLEAN)).addColumn(text("PublishTime", 19))
          .addColumn(text("Weather", 50)).addColumn(text("TrackBack", 255)).addColumn(text("ImportMark", 50))
          .toTable(db);
      t.addRows(ROWS);
    }
    try (Writer w = new OutputStreamWriter(new FileOutputStream(a[1]), StandardCharsets.UTF_8)) {
      for (Object[] r : ROWS) {
        StringBuilder b = new StringBuilder("{");
        for (int i = 0; i < COLS.length; i++) {
          if (i > 0) b.append(',');
          str(b, COLS[i]);
          b.append(':');
          if (r[i] == null) b.append("null");
          else if (r[i] instanceof String) str(b, (String) r[i]);
          else b.append(r[i]);
        }
        w.write(b.append("}\n").toString());
      }
    }
  }

  // JSON string, non-ASCII as backslash-u escapes, as in diary-small.expected.jsonl
  static void str(StringBuilder b, String s) {
    b.append('"');
    for (char ch : s.toCharArray()) {
      if (ch == '"' || ch == '\\') b.append('\\').append(ch);
      else if (ch < 0x20 || ch > 0x7e) b.append(String.format("\\u%04x", (int) ch));
      else b.append(ch);
    }
    b.append('"');
  }
}
