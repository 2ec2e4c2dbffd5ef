<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>CsvListing</name>
    <message>
        <source>CSVファイルの出力</source>
        <translation>Writing the listing (CSV)</translation>
    </message>
    <message>
        <source>CSVファイルが作成できませんでした。</source>
        <translation>The listing (CSV) could not be written.</translation>
    </message>
    <message>
        <source> ..... 終了</source>
        <translation> ..... done</translation>
    </message>
    <message>
        <source>内容の一覧を書けませんでした</source>
        <translation>The content manifest could not be written</translation>
    </message>
    <message>
        <source>前回のCSVファイルとの合成</source>
        <translation>Merging with the previous listing (CSV)</translation>
    </message>
    <message>
        <source>... 処理中</source>
        <translation>... working</translation>
    </message>
    <message>
        <source>... 終了</source>
        <translation>... done</translation>
    </message>
</context>
<context>
    <name>DriveInfo</name>
    <message>
        <source>ドライブ情報が取得できません。</source>
        <translation>The drive&apos;s information cannot be read.</translation>
    </message>
    <message>
        <source>フォーマットされていますか？</source>
        <translation>Is it formatted?</translation>
    </message>
    <message>
        <source>ボリューム名： </source>
        <translation>Volume name: </translation>
    </message>
    <message>
        <source>&#x3000;&#x3000;シリアル番号: </source>
        <translation>    Serial number: </translation>
    </message>
    <message>
        <source>このプログラムはディスクのボリューム名とシリアル番号で履歴を管理しています。</source>
        <translation>This program keeps its history by the volume name and serial number of the disk.</translation>
    </message>
    <message>
        <source>フォーマットされるのをお勧めします。</source>
        <translation>Formatting the medium is recommended.</translation>
    </message>
    <message>
        <source>セット「%1」は他で使用中です（保存・復元・履歴の変更）。</source>
        <translation>The set &quot;%1&quot; is in use elsewhere (a backup, a restore or a history change).</translation>
    </message>
    <message>
        <source>終わってからもう一度実行してください。</source>
        <translation>Please run again when it is over.</translation>
    </message>
</context>
<context>
    <name>FRestore</name>
    <message>
        <source>  復元</source>
        <translation>  Restore</translation>
    </message>
    <message>
        <source>初期化中 .... </source>
        <translation>Preparing .... </translation>
    </message>
    <message>
        <source>マイコンピュータ</source>
        <translation>My Computer</translation>
    </message>
    <message>
        <source>前回とメディアが変わっています。</source>
        <translation>The medium is not the one of the backup.</translation>
    </message>
    <message>
        <source>    前回のメディアのシリアル番号 : </source>
        <translation>    Serial number of the backup&apos;s medium : </translation>
    </message>
    <message>
        <source>    前回のメディアのボリューム名 : </source>
        <translation>    Volume name of the backup&apos;s medium   : </translation>
    </message>
    <message>
        <source>    今回のメディアのシリアル番号 : </source>
        <translation>    Serial number of this medium         : </translation>
    </message>
    <message>
        <source>    今回のメディアのボリューム名 : </source>
        <translation>    Volume name of this medium           : </translation>
    </message>
    <message>
        <source>交換して下さい。</source>
        <translation>Please change the medium.</translation>
    </message>
    <message>
        <source>CSVファイルがリードできません。</source>
        <translation>The listing (CSV) cannot be read.</translation>
    </message>
    <message>
        <source>CSVファイルの内容がおかしいです。</source>
        <translation>The listing (CSV) holds a line that does not read.</translation>
    </message>
    <message>
        <source>続行しますか？</source>
        <translation>Go on?</translation>
    </message>
    <message>
        <source>選択処理中 ......</source>
        <translation>Selecting ......</translation>
    </message>
    <message>
        <source>経過時間  </source>
        <translation>Elapsed  </translation>
    </message>
    <message>
        <source>%1行目      %2%&#x3000;復元済み</source>
        <translation>line %1      %2% restored</translation>
    </message>
    <message>
        <source>復元できません。</source>
        <translation>Cannot restore.</translation>
    </message>
    <message>
        <source>復元先のTOPディレクトリを選択してください。</source>
        <translation>Please choose the top folder to restore to.</translation>
    </message>
    <message>
        <source>復元先が保存データの中です。</source>
        <translation>The restore target lies among the backup data.</translation>
    </message>
    <message>
        <source>UNLHA32がインストールされていません。</source>
        <translation>UNLHA32 is not installed.</translation>
    </message>
    <message>
        <source>インストールしてから実行してください。</source>
        <translation>Please install it, then run again.</translation>
    </message>
    <message>
        <source>保存名のリストを作成しています。</source>
        <translation>Making the list of backup names.</translation>
    </message>
    <message>
        <source>復元を実行中</source>
        <translation>Restoring</translation>
    </message>
    <message>
        <source>  ...... 中止されました</source>
        <translation>  ...... stopped</translation>
    </message>
    <message numerus="yes">
        <source>保存履歴か保存データが壊れているため%n個復元できませんでした。</source>
        <translation>
            <numerusform>%n entry could not be restored, as the history or the backup data is damaged.</numerusform>
            <numerusform>%n entries could not be restored, as the history or the backup data is damaged.</numerusform>
        </translation>
    </message>
    <message>
        <source>別の保存データーを使用して復元しますか？</source>
        <translation>Restore them from other backup data?</translation>
    </message>
    <message>
        <source>(新しいデーターから順番に探します)</source>
        <translation>(searched from the newest backup on)</translation>
    </message>
    <message>
        <source>  ...... 終了</source>
        <translation>  ...... done</translation>
    </message>
    <message numerus="yes">
        <source>%n 個復元できませんでした</source>
        <translation>
            <numerusform>%n entry could not be restored</numerusform>
            <numerusform>%n entries could not be restored</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>うち %n 個は使用中の Qarno 自身のファイルのため復元しませんでした</source>
        <translation>
            <numerusform>of them %n entry was not restored: it is a file of Qarno itself, in use</numerusform>
            <numerusform>of them %n entries were not restored: they are files of Qarno itself, in use</numerusform>
        </translation>
    </message>
    <message>
        <source>メディアを入れ替えてください</source>
        <translation>Please change the medium</translation>
    </message>
    <message>
        <source>ボリューム名</source>
        <translation>Volume name </translation>
    </message>
    <message>
        <source>シリアル番号</source>
        <translation>Serial number </translation>
    </message>
    <message>
        <source>ヒストリテーブルにありません。</source>
        <translation>is not in the history.</translation>
    </message>
    <message>
        <source>この保存履歴では完全に復元できませんでした。</source>
        <translation>This history could not restore everything.</translation>
    </message>
    <message>
        <source>ファイルがありません</source>
        <translation>The file is missing</translation>
    </message>
    <message>
        <source>サイズ %1 (一覧では %2)</source>
        <translation>size %1 (listed %2)</translation>
    </message>
    <message>
        <source>日付 %1 (一覧では %2)</source>
        <translation>date %1 (listed %2)</translation>
    </message>
    <message>
        <source>内容が目録と違います</source>
        <translation>content differs from the manifest</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message numerus="yes">
        <source>%n 個は保存時の一覧と一致しません（ログを見てください）</source>
        <translation>
            <numerusform>%n entry does not match the listing of the backup (see the log)</numerusform>
            <numerusform>%n entries do not match the listing of the backup (see the log)</numerusform>
        </translation>
    </message>
    <message>
        <source>保存名</source>
        <translation>Backup name</translation>
    </message>
    <message>
        <source>ディレクトリ</source>
        <translation>Folder</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>FSaveExec</name>
    <message>
        <source>コピーの実行</source>
        <translation>Copying</translation>
    </message>
    <message numerus="yes">
        <source>%n 個コピーできませんでした。</source>
        <translation>
            <numerusform>%n entry could not be copied.</numerusform>
            <numerusform>%n entries could not be copied.</numerusform>
        </translation>
    </message>
    <message>
        <source>... 中止されました。</source>
        <translation>... stopped.</translation>
    </message>
    <message>
        <source>保存先ディスク残量が制限値以下です!</source>
        <translation>The free space on the destination is below the limit!</translation>
    </message>
    <message>
        <source>残量値：</source>
        <translation>Free space: </translation>
    </message>
    <message>
        <source>制限値：</source>
        <translation>Limit: </translation>
    </message>
    <message>
        <source>保存先メディアを交換して下さい</source>
        <translation>Please change the destination medium.</translation>
    </message>
    <message>
        <source>今回の保存での残量制限を無効にしますか？</source>
        <translation>Switch off the free space limit for this backup?</translation>
    </message>
    <message>
        <source>ドライブの空き量が足りません。</source>
        <translation>There is not enough free space on the drive.</translation>
    </message>
    <message>
        <source>新しいメディアに交換してください</source>
        <translation>Please change to a new medium.</translation>
    </message>
    <message>
        <source>保存レベルの設定</source>
        <translation>Backup level setting</translation>
    </message>
    <message>
        <source>選択の範囲外です</source>
        <translation>The choice is out of range.</translation>
    </message>
    <message>
        <source>今回のセーブリストの調査</source>
        <translation>Checking this run&apos;s list</translation>
    </message>
    <message>
        <source>前回とメディアが変わっています。</source>
        <translation>The medium is not the one of the previous backup.</translation>
    </message>
    <message>
        <source>    前回のメディアのシリアル番号 : </source>
        <translation>    Serial number of the previous medium : </translation>
    </message>
    <message>
        <source>    前回のメディアのボリューム名 : </source>
        <translation>    Volume name of the previous medium   : </translation>
    </message>
    <message>
        <source>    今回のメディアのシリアル番号 : </source>
        <translation>    Serial number of this medium         : </translation>
    </message>
    <message>
        <source>    今回のメディアのボリューム名 : </source>
        <translation>    Volume name of this medium           : </translation>
    </message>
    <message>
        <source>交換して下さい。</source>
        <translation>Please change the medium.</translation>
    </message>
    <message>
        <source>前回のセーブリストの調査</source>
        <translation>Checking the previous run&apos;s list</translation>
    </message>
    <message>
        <source>&#x3000;...&#x3000;エラーです</source>
        <translation> ... error</translation>
    </message>
    <message>
        <source>前回のCSVファイルがありません。</source>
        <translation>The previous listing (CSV) is missing.</translation>
    </message>
    <message>
        <source>この保存のCSVファイルがありません。</source>
        <translation>The listing (CSV) of this backup is missing.</translation>
    </message>
    <message>
        <source>  保存実行</source>
        <translation>  Backup</translation>
    </message>
    <message>
        <source>  履歴情報の詳細</source>
        <translation>  Details of the run</translation>
    </message>
    <message>
        <source>経過時間  %1 ( Total %2% )</source>
        <translation>Elapsed  %1 ( Total %2% )</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>LHAで圧縮する</source>
        <translation>Pack with LHA</translation>
    </message>
    <message>
        <source>圧縮しない</source>
        <translation>No packing</translation>
    </message>
    <message>
        <source>保存先のディレクトリ名に「,」(カンマ)は使えません。</source>
        <translation>The destination folder name must not contain &quot;,&quot; (a comma).</translation>
    </message>
    <message>
        <source>UNLHA32がインストールされていません。</source>
        <translation>UNLHA32 is not installed.</translation>
    </message>
    <message>
        <source>設定で[圧縮しない]を選択してください。</source>
        <translation>Please choose [No packing] in the settings.</translation>
    </message>
    <message>
        <source>前回の保存名が見つかりません！</source>
        <translation>The previous backup name cannot be found!</translation>
    </message>
    <message>
        <source>差分ならLevel-0、修復なら最初に差分モードで保存してください</source>
        <translation>For an incremental backup make a Level 0 backup first; for a repair, first back up in incremental mode.</translation>
    </message>
    <message>
        <source>起動時とメディアが変わっています。</source>
        <translation>The medium is not the one of the start.</translation>
    </message>
    <message>
        <source>必要ならメディアを交換してください</source>
        <translation>Please change the medium if needed.</translation>
    </message>
    <message>
        <source>全て終了しました</source>
        <translation>All done</translation>
    </message>
    <message numerus="yes">
        <source>セーブリストの作成  ...... %n個</source>
        <translation>
            <numerusform>Making the list  ...... %n entry</numerusform>
            <numerusform>Making the list  ...... %n entries</numerusform>
        </translation>
    </message>
    <message>
        <source>コピーの実行  ( Sub Total %1%   %2Ｋバイト )</source>
        <translation>Copying  ( Sub Total %1%   %2 KB )</translation>
    </message>
    <message>
        <source>CSVファイルの出力</source>
        <translation>Writing the listing (CSV)</translation>
    </message>
    <message>
        <source>セーブリストの更新中</source>
        <translation>Updating the list</translation>
    </message>
    <message>
        <source>前回のCSVファイルとの合成</source>
        <translation>Merging with the previous listing (CSV)</translation>
    </message>
    <message>
        <source>使用したディスクサイズを計算中</source>
        <translation>Counting the disk space used</translation>
    </message>
    <message>
        <source>ディレクトリが作成できません。</source>
        <translation>The folder cannot be created.</translation>
    </message>
    <message>
        <source>セーブリストの作成</source>
        <translation>Making the list</translation>
    </message>
    <message>
        <source>保存対象のファイル/フォルダーが多すぎます。(32767個までです)</source>
        <translation>There are too many files/folders to back up (at most 32767).</translation>
    </message>
    <message>
        <source>セット名を分割して下さい</source>
        <translation>Please split the set.</translation>
    </message>
</context>
<context>
    <name>HistoryDeletion</name>
    <message>
        <source>データーの削除中</source>
        <translation>Deleting the data</translation>
    </message>
    <message>
        <source>... 中止されました。</source>
        <translation>... stopped.</translation>
    </message>
    <message>
        <source>保存名： %1&#x3000;が履歴から削除されます！</source>
        <translation>Backup name: %1 will be deleted from the history!</translation>
    </message>
    <message>
        <source>保存名： %1&#x3000;の保存データが削除されます!</source>
        <translation>Backup name: %1 - its backup data will be deleted!</translation>
    </message>
    <message>
        <source>よろしいですか？</source>
        <translation>Are you sure?</translation>
    </message>
    <message>
        <source>終了</source>
        <translation>Done</translation>
    </message>
    <message>
        <source>保存できませんでした</source>
        <translation>could not be saved</translation>
    </message>
    <message>
        <source>... 終了</source>
        <translation>... done</translation>
    </message>
    <message>
        <source>（保存名なし）</source>
        <translation>(no backup name)</translation>
    </message>
    <message>
        <source>この保存データーはこのプログラムが作ったものと確認できないため、削除しませんでした。</source>
        <translation>This backup data was not deleted, as it cannot be confirmed to be made by this program.</translation>
    </message>
</context>
<context>
    <name>ListInfoTable</name>
    <message>
        <source>^|トータル       |今回コピー分 |;|ファイル|フォルダー |サイズ(KB)</source>
        <translation>^|Total       |This run |;|Files|Folders |Size (KB)</translation>
    </message>
</context>
<context>
    <name>Module1</name>
    <message>
        <source>デバッグファイルが作れません！</source>
        <translation>The debug file cannot be created!</translation>
    </message>
    <message>
        <source>ログファイルが作れません！</source>
        <translation>The log file cannot be created!</translation>
    </message>
</context>
<context>
    <name>Pruner</name>
    <message>
        <source>%1: このプログラムが作った保存データーと確認できないため、この系列は削除しませんでした</source>
        <translation>%1: not deleted this chain, as the backup data cannot be confirmed to be made by this program</translation>
    </message>
    <message>
        <source>（保存名なし）</source>
        <translation>(no backup name)</translation>
    </message>
    <message>
        <source>履歴を書き込めなかったため、削除しませんでした</source>
        <translation>Nothing was deleted, as the history could not be written</translation>
    </message>
    <message>
        <source>%1: このプログラムが作った保存データーと確認できないため、削除しませんでした</source>
        <translation>%1: not deleted, as the backup data cannot be confirmed to be made by this program</translation>
    </message>
</context>
<context>
    <name>PruningPreview</name>
    <message>
        <source>整理の方針が設定されていません（設定の「古い保存の整理」）。</source>
        <translation>No keep policy is set (settings, &quot;Old backups&quot;).</translation>
    </message>
    <message>
        <source>整理の方針で削除される保存はありません。</source>
        <translation>The keep policy deletes no backup.</translation>
    </message>
    <message>
        <source>整理の方針で削除される保存: %1 件（%2 系列、%3 KB）を選択しました。</source>
        <translation>Backups the keep policy deletes: %1 selected (%2 chains, %3 KB).</translation>
    </message>
</context>
<context>
    <name>Qarno</name>
    <message>
        <source>セットファイルがありません。</source>
        <translation>The set file is missing.</translation>
    </message>
    <message>
        <source>保存できませんでした</source>
        <translation>could not be saved</translation>
    </message>
    <message>
        <source>ファイルが読めません。</source>
        <translation>The file cannot be read.</translation>
    </message>
    <message>
        <source>ファイルが作れませんでした。</source>
        <translation>The file could not be created.</translation>
    </message>
    <message>
        <source>セット名を指定してください。</source>
        <translation>Please give a set name.</translation>
    </message>
    <message>
        <source>この名前は使えません。</source>
        <translation>This name cannot be used.</translation>
    </message>
</context>
<context>
    <name>RestoreState</name>
    <message>
        <source>中止</source>
        <translation>Stop</translation>
    </message>
</context>
<context>
    <name>RestoreTable</name>
    <message>
        <source>トータル</source>
        <translation>Total</translation>
    </message>
    <message>
        <source>復元予約</source>
        <translation>To restore</translation>
    </message>
    <message>
        <source>復元済み</source>
        <translation>Restored</translation>
    </message>
    <message>
        <source>ファイル</source>
        <translation>Files</translation>
    </message>
    <message>
        <source>フォルダー</source>
        <translation>Folders</translation>
    </message>
    <message>
        <source>サイズ(KB)</source>
        <translation>Size (KB)</translation>
    </message>
</context>
<context>
    <name>ResultView</name>
    <message>
        <source>全てのリスト</source>
        <translation>All entries</translation>
    </message>
    <message>
        <source>今回コピーされたものだけ</source>
        <translation>Only those copied this time</translation>
    </message>
    <message>
        <source>コピーできなかったものだけ</source>
        <translation>Only those not copied</translation>
    </message>
    <message>
        <source>コピーに失敗しました</source>
        <translation>The copy failed</translation>
    </message>
    <message>
        <source>ロックされていました</source>
        <translation>It was locked</translation>
    </message>
    <message>
        <source>コピーの前になくなりました</source>
        <translation>It was gone before the copy</translation>
    </message>
    <message>
        <source>まだコピーされていません</source>
        <translation>Not copied yet</translation>
    </message>
    <message>
        <source>保存できない名前です</source>
        <translation>A name that cannot be backed up</translation>
    </message>
    <message>
        <source>セーブリストの更新中</source>
        <translation>Updating the list</translation>
    </message>
</context>
<context>
    <name>RunContext</name>
    <message>
        <source>&#x3000;...&#x3000;終了</source>
        <translation> ... done</translation>
    </message>
</context>
<context>
    <name>RunRecord</name>
    <message>
        <source>使用したディスクサイズを計算中</source>
        <translation>Counting the disk space used</translation>
    </message>
    <message>
        <source>ヒストリーファイルの出力</source>
        <translation>Writing the history</translation>
    </message>
    <message>
        <source> ..... 終了</source>
        <translation> ..... done</translation>
    </message>
    <message>
        <source>&#x3000;&#x3000;&#x3000;&#x3000;出力できませんでした</source>
        <translation>        could not be written</translation>
    </message>
</context>
<context>
    <name>RunTexts</name>
    <message>
        <source>中止</source>
        <translation>Stop</translation>
    </message>
</context>
<context>
    <name>RunVerifier</name>
    <message>
        <source>保存リストに行がありません</source>
        <translation>the listing holds no line</translation>
    </message>
    <message>
        <source>最後の行が途中で切れています</source>
        <translation>the last line is cut</translation>
    </message>
    <message>
        <source>読めない行が %1 行あります（最初は %2 行目）</source>
        <translation>%1 unreadable line(s), the first is line %2</translation>
    </message>
    <message>
        <source>終わりの行がありません: 目録が途中で切れています</source>
        <translation>no end line: the manifest is cut short</translation>
    </message>
    <message>
        <source>終わりの行の後にも行があります</source>
        <translation>lines follow the end line</translation>
    </message>
    <message>
        <source>終わりの行ではファイルの行が %1 行、目録には %2 行あります</source>
        <translation>the end line counts %1 file line(s), the manifest holds %2</translation>
    </message>
    <message>
        <source>内容の目録ではありません</source>
        <translation>not a content manifest</translation>
    </message>
    <message>
        <source>目録には保存リストにないファイルが %1 個あります（最初は %2）</source>
        <translation>the manifest names %1 file(s) the listing does not hold, the first is %2</translation>
    </message>
    <message>
        <source>この回にコピーしたファイルのうち %1 個に目録の行がありません（最初は %2）</source>
        <translation>%1 file(s) copied by this run have no line, the first is %2</translation>
    </message>
    <message>
        <source>一覧では %1 バイト、</source>
        <translation>listed %1 bytes, </translation>
    </message>
    <message>
        <source>実際は %1 バイト</source>
        <translation>found %1</translation>
    </message>
    <message>
        <source>コピーが読めません</source>
        <translation>the copy cannot be read</translation>
    </message>
    <message>
        <source>書庫では %1 バイト</source>
        <translation>the archive holds %1</translation>
    </message>
    <message>
        <source>読み戻したのは %1 バイト、保存時は %2 バイト</source>
        <translation>%1 bytes read back, %2 saved</translation>
    </message>
    <message>
        <source>ハッシュ %1、保存時は %2</source>
        <translation>hash %1, saved as %2</translation>
    </message>
    <message>
        <source>検証</source>
        <translation>Verify</translation>
    </message>
    <message>
        <source>保存リストに使えるコピーの名前がありません</source>
        <translation>the listing names no usable copy</translation>
    </message>
</context>
<context>
    <name>SetCommands</name>
    <message>
        <source>（%1）は変更されています。</source>
        <translation>(%1) has been changed.</translation>
    </message>
    <message>
        <source>保存しますか？</source>
        <translation>Save it?</translation>
    </message>
    <message>
        <source>（%1）の変更は破棄されました。</source>
        <translation>The changes of (%1) were discarded.</translation>
    </message>
    <message>
        <source>（%1）の保存履歴は変更されています。</source>
        <translation>The history of (%1) has been changed.</translation>
    </message>
    <message>
        <source>破棄しますか？</source>
        <translation>Discard it?</translation>
    </message>
    <message>
        <source>セットファイル名を指定してください。</source>
        <translation>Please give a set file name.</translation>
    </message>
    <message>
        <source>この名前は使えません。</source>
        <translation>This name cannot be used.</translation>
    </message>
    <message>
        <source>すでにあります。</source>
        <translation>already exists.</translation>
    </message>
    <message>
        <source>上書きしますか？</source>
        <translation>Overwrite it?</translation>
    </message>
    <message>
        <source>新しいセット名です。</source>
        <translation>is a new set name.</translation>
    </message>
    <message>
        <source>作成しますか？</source>
        <translation>Create it?</translation>
    </message>
    <message>
        <source>セットファイルを作成できませんでした。</source>
        <translation>The set file could not be created.</translation>
    </message>
    <message>
        <source>セット名を指定してください。</source>
        <translation>Please give a set name.</translation>
    </message>
    <message>
        <source>セット名： </source>
        <translation>Set name: </translation>
    </message>
    <message>
        <source>本当に削除しますか？</source>
        <translation>Really delete it?</translation>
    </message>
    <message>
        <source>(保存履歴は削除されますが、保存データは削除されません！）</source>
        <translation>(The history is deleted, the backup data is not!)</translation>
    </message>
    <message>
        <source>セットフォルダー名を指定してください。</source>
        <translation>Please give a set folder name.</translation>
    </message>
    <message>
        <source>フォルダーが作成できません。</source>
        <translation>The folder cannot be created.</translation>
    </message>
    <message>
        <source>項目が選択されていません。</source>
        <translation>No item is selected.</translation>
    </message>
    <message>
        <source>すでに登録済みです。</source>
        <translation>is already registered.</translation>
    </message>
</context>
<context>
    <name>SetNames</name>
    <message>
        <source>名前に \ / : * ? &quot; &lt; &gt; | や制御文字は使えません。</source>
        <translation>A name must not contain \ / : * ? &quot; &lt; &gt; | or control characters.</translation>
    </message>
    <message>
        <source>名前の終わりに「.」や空白は使えません。</source>
        <translation>A name must not end in &quot;.&quot; or a blank.</translation>
    </message>
    <message>
        <source>CON、PRN、AUX、NUL、COM1～COM9、LPT1～LPT9 は名前に使えません。</source>
        <translation>CON, PRN, AUX, NUL, COM1 to COM9 and LPT1 to LPT9 cannot be used as names.</translation>
    </message>
</context>
<context>
    <name>ShutdownCountdown</name>
    <message numerus="yes">
        <source>残り%n秒</source>
        <translation>
            <numerusform>%n second left</numerusform>
            <numerusform>%n seconds left</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>Staleness</name>
    <message>
        <source>（警告までの日数: %1 日）</source>
        <translation> (days before the warning: %1)</translation>
    </message>
    <message>
        <source>成功した保存がまだありません</source>
        <translation>No successful backup yet</translation>
    </message>
    <message>
        <source>最後に成功した保存から %1 日経っています</source>
        <translation>%1 day(s) since the last successful backup</translation>
    </message>
    <message>
        <source>最後の保存から %1 日経過</source>
        <translation>%1 day(s) since the last backup</translation>
    </message>
    <message>
        <source>保存がまだありません</source>
        <translation>No backup yet</translation>
    </message>
</context>
<context>
    <name>StartMode</name>
    <message>
        <source>不明なスイッチ: %1</source>
        <translation>unknown switch: %1</translation>
    </message>
    <message>
        <source>スイッチの値が不正です: %1</source>
        <translation>invalid switch value: %1</translation>
    </message>
</context>
</TS>
