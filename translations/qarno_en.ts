<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>CopyRate</name>
    <message>
        <source>%1  残り %2</source>
        <translation>%1  %2 left</translation>
    </message>
</context>
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
    <name>DesktopNotifier</name>
    <message>
        <source>ログを開く</source>
        <translation>Open Log</translation>
    </message>
    <message>
        <source>使い方: qarno-notify --summary TEXT [--body TEXT] [--log FILE] [--critical] [--wait SECONDS]</source>
        <translation>usage: qarno-notify --summary TEXT [--body TEXT] [--log FILE] [--critical] [--wait SECONDS]</translation>
    </message>
    <message>
        <source>Qarno が無人実行の後で使う補助プログラム: デスクトップに通知を出し、その操作でログを開く</source>
        <translation>The helper Qarno uses after an unattended run: shows a notification on the desktop and opens the log from it</translation>
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
    <name>Notify</name>
    <message>
        <source>Qarno: バックアップが失敗しました</source>
        <translation>Qarno: the backup failed</translation>
    </message>
    <message>
        <source>Qarno: コピーできなかったファイルがあります</source>
        <translation>Qarno: some files could not be copied</translation>
    </message>
    <message>
        <source>セット名: %1</source>
        <translation>Set: %1</translation>
    </message>
    <message>
        <source>保存名: %1</source>
        <translation>Backup name: %1</translation>
    </message>
    <message>
        <source>ログ: %1</source>
        <translation>Log: %1</translation>
    </message>
    <message>
        <source>Qarno: バックアップが止まっています</source>
        <translation>Qarno: backups have stopped</translation>
    </message>
    <message>
        <source>余分な引数です: %1</source>
        <translation>unexpected argument: %1</translation>
    </message>
    <message>
        <source>--wait の値が不正です: %1</source>
        <translation>invalid value for --wait: %1</translation>
    </message>
    <message>
        <source>--summary がありません</source>
        <translation>--summary is missing</translation>
    </message>
</context>
<context>
    <name>Program</name>
    <message>
        <source>プログラムフォルダー %1 はドライブ表のどのドライブにもありません</source>
        <translation>the program folder %1 lies on no drive of the drive table</translation>
    </message>
    <message>
        <source>セット「%1」のファイル %2 を読み込めませんでした</source>
        <translation>the file %2 of set &quot;%1&quot; could not be read</translation>
    </message>
    <message>
        <source>セット「%1」が見つかりません (探した場所: %2)</source>
        <translation>set &quot;%1&quot; not found (looked in %2)</translation>
    </message>
    <message>
        <source>Qarno: ウィンドウを開くディスプレイがありません (DISPLAY が設定されていません)。セットを無人で実行するには /B2 を付けて指定します。例: Qarno SETNAME /B2</source>
        <translation>Qarno: no display to open the window on (DISPLAY is not set); to run a set unattended, give it with /B2, e.g.: Qarno SETNAME /B2</translation>
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
    <name>QarnoConsole</name>
    <message>
        <source>上書き</source>
        <translation>Overwrite</translation>
    </message>
    <message>
        <source>修復</source>
        <translation>Repair</translation>
    </message>
    <message>
        <source>中止されました。</source>
        <translation>Cancelled.</translation>
    </message>
    <message>
        <source>保存が完了しませんでした。</source>
        <translation>The backup did not complete.</translation>
    </message>
    <message numerus="yes">
        <source>%n 個コピーできませんでした。</source>
        <translation>
            <numerusform>%n entry could not be copied.</numerusform>
            <numerusform>%n entries could not be copied.</numerusform>
        </translation>
    </message>
    <message>
        <source>保存が中止されたため、コンピューターの電源は切りません。</source>
        <translation>The backup was cancelled, so the computer stays on.</translation>
    </message>
    <message>
        <source>コンピューターの終了は取り消されました。</source>
        <translation>Shutting down the computer was cancelled.</translation>
    </message>
    <message>
        <source>コンピューターを終了できませんでした。</source>
        <translation>The computer could not be shut down.</translation>
    </message>
    <message>
        <source>使い方: Qarno [SETNAME] [/Ln] [/Bn] [/Cn] [/Wn] [/S] [/Dn]
  SETNAME  読み込むセットの名前 (空白を含む名前は &quot;...&quot; で囲む)
  /Ln  保存レベル: %1
  /Bn  すぐに保存を始める: 1 以上 終了後にプログラムを閉じる, 2 以上 質問に安全な答え (無人実行),
       3 以上 メディアの変化も無視
  /Cn  0 圧縮しない, 1 ファイルごとに LHA で圧縮
  /Wn  ウィンドウ: 0 通常, 1 最小化, 2 最大化
  /S   保存の後でコンピューターを終了 (/B1 を含む)
  /Dn  Qarno.deb にデバッグ記録: 1 ファイル名つき, 2 ファイル名なし
  -h, --help  この説明    --version  バージョン
終了状態: 0 成功, 1 成功 (コピーできなかった項目あり), 2 失敗または中止, 3 セットを読み込めない
</source>
        <translation>Usage: Qarno [SETNAME] [/Ln] [/Bn] [/Cn] [/Wn] [/S] [/Dn]
  SETNAME  the name of the set to load (enclose a name with blanks in &quot;...&quot;)
  /Ln  backup level: %1
  /Bn  start the backup at once: 1 and above close the program afterwards, 2 and above give
       questions their safe answer (unattended run), 3 and above also ignore a change of medium
  /Cn  0 no packing, 1 pack each file with LHA
  /Wn  window: 0 normal, 1 minimized, 2 maximized
  /S   shut down the computer after the backup (implies /B1)
  /Dn  debug trace into Qarno.deb: 1 with file names, 2 without
  -h, --help  this help    --version  the version
Exit status: 0 success, 1 success (entries not copied), 2 failed or cancelled, 3 the set could not be loaded
</translation>
    </message>
    <message>
        <source>使い方: Qarno SETNAME [/Ln] [/Bn] [/Cn] [/Wn] [/S] [/Dn]  (説明は Qarno --help)</source>
        <translation>Usage: Qarno SETNAME [/Ln] [/Bn] [/Cn] [/Wn] [/S] [/Dn]  (see Qarno --help)</translation>
    </message>
    <message>
        <source>コンピューターを終了します (Ctrl+C で取り消し)</source>
        <translation>shutting down the computer (Ctrl+C cancels)</translation>
    </message>
    <message>
        <source>セット名: %1</source>
        <translation>Set: %1</translation>
    </message>
    <message>
        <source>保存先: %1</source>
        <translation>Destination: %1</translation>
    </message>
    <message>
        <source>保存レベル: %1</source>
        <translation>Backup level: %1</translation>
    </message>
    <message>
        <source>保存リスト: %1 / スキップリスト: %2 / 履歴: %3</source>
        <translation>Save list: %1 / skip list: %2 / history: %3</translation>
    </message>
    <message>
        <source>セットファイルまたは履歴ファイルが保存できませんでした。</source>
        <translation>The set file or the history file could not be saved.</translation>
    </message>
</context>
<context>
    <name>QarnoMain</name>
    <message>
        <source>Qarno: ウィンドウを読み込めませんでした: %1</source>
        <translation>Qarno: the windows could not be loaded: %1</translation>
    </message>
</context>
<context>
    <name>RestoreConsole</name>
    <message>
        <source>使い方: qarno-restore SETNAME                        セットの履歴 (新しい順)
        qarno-restore SETNAME SAVENAME --list        その回の項目と、それを持つ保存
        qarno-restore SETNAME SAVENAME [--to TOPDIR] [--path PATH]... [--search-older] [--ignore-medium]
                                                     その回を復元 (元の場所へ、または TOPDIR の下へ)
        qarno-restore SETNAME SAVENAME --verify [--full]  その回のコピーを検証
        qarno-restore SETNAME --find PATTERN          パターンに合うパスを持つ回をすべて探す
        qarno-restore SETNAME --status [--notify]     レベルごとの最後の回と、古くなっていないか
        qarno-restore SETNAME --prune [--dry-run] [--keep-chains N] [--keep-days D]
                                                     古い保存をセットの方針で整理 (系列ごと)
  --to TOPDIR       TOPDIR\Drive_X\... の下に復元する (Windows のパス、例 T:\restore)
  --path PATH       PATH とその下だけを復元する (繰り返し可)
  --search-older    その回にない項目を古い回から探すことに同意する
  --ignore-medium   履歴と違うメディアでも続ける
  --dry-run         何も削除せず、削除される回と解放されるサイズを表示する
  --keep-chains N   今回だけ、新しい N 系列を残す (0 は指定なし)
  --keep-days D     今回だけ、最新の回が D 日より新しい系列を残す (0 は指定なし)
  --debug N         Qarno.deb にデバッグ記録: 0 なし, 1 ファイル名つき, 2 ファイル名なし
  -h, --help        この説明    --version  バージョン
終了状態: 0 すべて復元, 1 復元できなかった項目あり, 2 中止または開始できず
  --verify: 0 問題なし, 1 問題あり, 2 実行できず   --find: 0 見つかった, 1 なし, 2 実行できず
  --status: 0 期限内 (または警告なし), 1 古くなっている, 2 実行できず
  --prune: 0 整理した (または削除するものなし), 2 失敗
</source>
        <translation>Usage: qarno-restore SETNAME                        the set&apos;s history (newest first)
       qarno-restore SETNAME SAVENAME --list        the run&apos;s entries and the saves holding them
       qarno-restore SETNAME SAVENAME [--to TOPDIR] [--path PATH]... [--search-older] [--ignore-medium]
                                                    restore the run (to the original places, or below TOPDIR)
       qarno-restore SETNAME SAVENAME --verify [--full]  verify the run&apos;s copies
       qarno-restore SETNAME --find PATTERN         every run holding a path the pattern matches
       qarno-restore SETNAME --status [--notify]    the last run of each level, and whether the set is stale
       qarno-restore SETNAME --prune [--dry-run] [--keep-chains N] [--keep-days D]
                                                    delete old backups by the set&apos;s policy (whole chains)
  --to TOPDIR       restore below TOPDIR\Drive_X\... (a Windows path, e.g. T:\restore)
  --path PATH       restore only PATH and what lies below it (may be repeated)
  --search-older    agree to look in older runs for entries this run lacks
  --ignore-medium   go on when the medium is not the history&apos;s
  --dry-run         delete nothing; show the runs that would go and the space freed
  --keep-chains N   for this call, keep the newest N chains (0: not given)
  --keep-days D     for this call, keep the chains whose newest run is younger than D days (0: not given)
  --debug N         debug trace into Qarno.deb: 0 none, 1 with file names, 2 without
  -h, --help        this help    --version  the version
Exit status: 0 everything restored, 1 some entries not restored, 2 stopped or not started
  --verify: 0 no problem, 1 problems found, 2 could not run   --find: 0 found, 1 none, 2 could not run
  --status: 0 not stale (or no warning set), 1 stale, 2 could not run
  --prune: 0 pruned (or nothing to delete), 2 failed
</translation>
    </message>
    <message>
        <source>--debug の値は 0, 1, 2 のどれかです: %1</source>
        <translation>--debug takes 0, 1 or 2: %1</translation>
    </message>
    <message>
        <source>--find は一度だけ指定できます</source>
        <translation>--find may be given only once</translation>
    </message>
    <message>
        <source>--find のパターンが空です</source>
        <translation>the pattern of --find is empty</translation>
    </message>
    <message>
        <source>--keep-chains の値は 0 から %1 までの整数です: %2</source>
        <translation>--keep-chains takes a whole number from 0 to %1: %2</translation>
    </message>
    <message>
        <source>--keep-days の値は 0 から %1 までの整数です: %2</source>
        <translation>--keep-days takes a whole number from 0 to %1: %2</translation>
    </message>
    <message>
        <source>セット名がありません</source>
        <translation>no set name given</translation>
    </message>
    <message>
        <source>余分な引数です: %1</source>
        <translation>unexpected argument: %1</translation>
    </message>
    <message>
        <source>--list, --to, --path には保存名 (SAVENAME) が要ります</source>
        <translation>--list, --to and --path need a backup name (SAVENAME)</translation>
    </message>
    <message>
        <source>--full は --verify と一緒にだけ使えます</source>
        <translation>--full goes only with --verify</translation>
    </message>
    <message>
        <source>--notify は --status と一緒にだけ使えます</source>
        <translation>--notify goes only with --status</translation>
    </message>
    <message>
        <source>--dry-run, --keep-chains, --keep-days は --prune と一緒にだけ使えます</source>
        <translation>--dry-run, --keep-chains and --keep-days go only with --prune</translation>
    </message>
    <message>
        <source>--verify, --find, --status, --prune は一つだけ指定できます</source>
        <translation>only one of --verify, --find, --status and --prune may be given</translation>
    </message>
    <message>
        <source>--prune は保存名 (SAVENAME) を取りません</source>
        <translation>--prune takes no backup name (SAVENAME)</translation>
    </message>
    <message>
        <source>--prune は復元のオプションと一緒に使えません</source>
        <translation>--prune does not go with the restore options</translation>
    </message>
    <message>
        <source>--verify には保存名 (SAVENAME) が要ります</source>
        <translation>--verify needs a backup name (SAVENAME)</translation>
    </message>
    <message>
        <source>--verify は復元のオプションと一緒に使えません</source>
        <translation>--verify does not go with the restore options</translation>
    </message>
    <message>
        <source>--find と --status は保存名 (SAVENAME) を取りません</source>
        <translation>--find and --status take no backup name (SAVENAME)</translation>
    </message>
    <message>
        <source>--find と --status は復元のオプションと一緒に使えません</source>
        <translation>--find and --status do not go with the restore options</translation>
    </message>
    <message>
        <source>保存名	レベル	保存日時	保存サイズ(KB)	使用サイズ(KB)	未保存</source>
        <translation>Backup name	Level	Date	Saved (KB)	Used (KB)	Not saved</translation>
    </message>
    <message>
        <source>%1 の一覧を読めませんでした: %2</source>
        <translation>the listing of %1 could not be read: %2</translation>
    </message>
    <message>
        <source>内容の一覧なし: この保存には内容の一覧がありません (内容の一覧を作る前の保存か、作らない設定の保存です)。一覧でわかる範囲で検証しました</source>
        <translation>manifest missing: this run has no content manifest (made before manifests, or with them off); checked as far as its listing allows</translation>
    </message>
    <message>
        <source>内容の一覧が不明: 新しいプログラムが書いたものです。一覧でわかる範囲で検証しました</source>
        <translation>manifest unknown: written by a newer program; checked as far as the listing allows</translation>
    </message>
    <message>
        <source>内容の一覧にない: %1 個のファイルはサイズと書庫の CRC だけで検証しました</source>
        <translation>not in manifest: %1 file(s) checked by size and archive CRC only</translation>
    </message>
    <message>
        <source>%2 個中 %1 個のファイルを検証、%3 個を内容の一覧と比較、問題 %4 件</source>
        <translation>%1 files checked of %2, %3 compared with the manifest, %4 problem(s)</translation>
    </message>
    <message>
        <source>検証は中止されました</source>
        <translation>the verification was stopped</translation>
    </message>
    <message>
        <source>パス	属性	サイズ	日付	フラグ	保存セット名	圧縮の種類	別名</source>
        <translation>Path	Attributes	Size	Date	Flag	Backup name	Packing	Alias</translation>
    </message>
    <message>
        <source>セット名が空です</source>
        <translation>the set name is empty</translation>
    </message>
    <message>
        <source>セット名は &quot;/&quot; で始まりません (Qarno のスイッチはここでは使えません)</source>
        <translation>a set name does not begin with &quot;/&quot; (Qarno&apos;s switches do not apply here)</translation>
    </message>
    <message>
        <source>セット名は引用符で始まりません</source>
        <translation>a set name does not begin with a quote</translation>
    </message>
    <message>
        <source>セット名に &quot;..&quot; は使えません</source>
        <translation>a set name cannot hold &quot;..&quot;</translation>
    </message>
    <message>
        <source>使い方は qarno-restore --help で表示されます</source>
        <translation>qarno-restore --help shows the usage</translation>
    </message>
    <message>
        <source>&quot;%1&quot; はセット名になりません: %2</source>
        <translation>&quot;%1&quot; is not a set name: %2</translation>
    </message>
    <message>
        <source>%1 は保存名ではありません (qrnYYYYMMDD_NN または Qrn_All)</source>
        <translation>%1 is not a save name (qrnYYYYMMDD_NN or Qrn_All)</translation>
    </message>
    <message>
        <source>孤立した保存データー: 確認できません（セットが使用中です）</source>
        <translation>Orphaned save: cannot check (the set is in use)</translation>
    </message>
    <message>
        <source>孤立した保存データー: %1  (%2)  qarno-restore --prune で削除されます</source>
        <translation>Orphaned save: %1  (%2)  qarno-restore --prune removes it</translation>
    </message>
    <message>
        <source>レベル	保存名	保存日時</source>
        <translation>Level	Backup name	Date</translation>
    </message>
    <message numerus="yes">
        <source>最後に成功した保存: %n 日前</source>
        <translation>
            <numerusform>Last successful backup: %n day ago</numerusform>
            <numerusform>Last successful backup: %n days ago</numerusform>
        </translation>
    </message>
    <message>
        <source>最後に成功した保存: なし</source>
        <translation>Last successful backup: none</translation>
    </message>
    <message>
        <source>警告までの日数: なし</source>
        <translation>Days before the warning: none</translation>
    </message>
    <message>
        <source>警告までの日数: %1 日（期限内）</source>
        <translation>Days before the warning: %1 (not stale)</translation>
    </message>
    <message>
        <source>古くなっています: %1</source>
        <translation>stale: %1</translation>
    </message>
    <message>
        <source>履歴から探しています %1 / %2</source>
        <translation>Searching the history %1 / %2</translation>
    </message>
    <message>
        <source>パス	保存名	保存日時	サイズ	日付	保存先</source>
        <translation>Path	Backup name	Date	Size	File date	Copy</translation>
    </message>
    <message>
        <source>%1 の一覧を読めませんでした</source>
        <translation>the listing of %1 could not be read</translation>
    </message>
    <message>
        <source>検証中 %1 / %2  %3</source>
        <translation>Verifying %1 / %2  %3</translation>
    </message>
    <message>
        <source>%1 はドライブ上の絶対パスではありません (X:\...)</source>
        <translation>%1 is not an absolute path on a drive (X:\...)</translation>
    </message>
    <message>
        <source>%1 はセット %2 の保存の中にあります: そこへ復元すると、読み出すコピーを上書きしてしまいます</source>
        <translation>%1 lies among the saves of set %2: restoring there would overwrite the copies it reads</translation>
    </message>
    <message>
        <source>%1 は %2 の一覧にありません</source>
        <translation>%1 is not listed in %2</translation>
    </message>
    <message>
        <source>復元しませんでした(Qarno 自身のファイル): </source>
        <translation>Not restored (Qarno&apos;s own file): </translation>
    </message>
    <message>
        <source>復元できませんでした: </source>
        <translation>Could not restore: </translation>
    </message>
    <message>
        <source>保存時の一覧と一致しません: </source>
        <translation>Does not match its listing: </translation>
    </message>
    <message>
        <source>復元済み: ファイル %1 / フォルダー %2 / %3 KB</source>
        <translation>Restored: files %1 / folders %2 / %3 KB</translation>
    </message>
    <message>
        <source>復元できなかった項目: %1</source>
        <translation>Entries not restored: %1</translation>
    </message>
    <message>
        <source>復元は中止されました</source>
        <translation>The restore was stopped</translation>
    </message>
    <message numerus="yes">
        <source>%n 個の項目を復元できませんでした</source>
        <translation>
            <numerusform>%n entry could not be restored</numerusform>
            <numerusform>%n entries could not be restored</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n 個は保存時の一覧と一致しません</source>
        <translation>
            <numerusform>%n entry does not match its listing</numerusform>
            <numerusform>%n entries do not match their listing</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 の一覧を読み込めませんでした</source>
        <translation>the listing of %1 could not be loaded</translation>
    </message>
    <message>
        <source>復元を始められませんでした</source>
        <translation>The restore could not start</translation>
    </message>
    <message>
        <source>セット %1 は使用中です</source>
        <translation>set %1 is in use</translation>
    </message>
    <message>
        <source>整理の方針がありません (#KeepChains, #KeepDays, --keep-chains, --keep-days): 系列は削除しません</source>
        <translation>No pruning policy (#KeepChains, #KeepDays, --keep-chains, --keep-days): no chain is deleted</translation>
    </message>
    <message>
        <source>（履歴になし）</source>
        <translation>(not in history)</translation>
    </message>
    <message>
        <source>保存名	レベル	保存日時	サイズ(KB)</source>
        <translation>Backup name	Level	Date	Size (KB)</translation>
    </message>
    <message>
        <source>解放されるサイズ: %1 KB (削除していません)</source>
        <translation>Space to be freed: %1 KB (nothing deleted)</translation>
    </message>
    <message>
        <source>解放したサイズ: %1 KB</source>
        <translation>Space freed: %1 KB</translation>
    </message>
    <message>
        <source>整理は中止されました</source>
        <translation>The pruning was stopped</translation>
    </message>
    <message>
        <source>%1 は %2 の履歴にありません</source>
        <translation>%1 is not in the history of %2</translation>
    </message>
    <message>
        <source>%1 という名前のセットはありません: %2</source>
        <translation>no set named %1: %2</translation>
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
