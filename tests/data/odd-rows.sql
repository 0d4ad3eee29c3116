-- Rows a diary kept for years holds beside its ordinary ones: Null and empty columns, times in
-- other forms or out of range, and the empty Day and time the host's earlier import wrote for an
-- entry without a DATE. None makes the export fall back to its own moment, so that two exports
-- of these rows give the same bytes.
INSERT INTO Contents (Day, Number, Genre, Title, Contents, extend, excerpt, PublishTime, Private, ImportMark) VALUES
  (NULL, 1, '日記', 'Null day', 'body a', NULL, NULL, '2010/04/30 08:00:00', 0, NULL),
  ('2010/05/01', 1, NULL, 'Null genre', 'body b', NULL, NULL, '2010/05/01 10:00:00', 0, NULL),
  ('2010/05/01', 2, '日記', 'Null private', 'body c', NULL, NULL, '2010/05/01 11:00:00', NULL, NULL),
  ('', 1, '日記', 'No DATE in an earlier import', 'body d', '', '', '', 0, '2009/02/03 4:05:06 byPontivo.dll'),
  ('2010/05/02', 1, '日記', 'One-digit parts, no seconds', 'body e', NULL, NULL, '2010/5/2 9:05', 0, NULL),
  ('2010/05/03', 1, '日記', 'Null time', 'body f', NULL, NULL, NULL, 1, NULL),
  ('2010/05/04', 1, '日記', 'Hour 25', 'body g', NULL, NULL, '2010/05/04 25:00:00', 0, NULL),
  ('2010/05/05', 1, '旅行', 'Date only', 'body h', NULL, NULL, '2010/05/06', 0, NULL);
