* morventa-light: tradutor falado.
*
* O usuário escolhe o idioma de origem e o de destino e uma de três tarefas:
* traduzir frases digitadas, traduzir um arquivo de texto para a pasta
* "arquivos traduzidos" ou traduzir o texto da área de transferência.
* Cada pedido é um GET de "/m" no serviço de tradução, por TLS; a tradução
* vem no elemento marcado com "result-container".
*
* Canais: #1 a conexão com o serviço; #2 o arquivo temporário;
* #3 o arquivo de origem e, depois, o arquivo traduzido.

busca $dircorrente dir
chama @pegadirambiente
dir troca $dirambiente
seja $versao 1
escreve "Morventa - Versão " $versao

*---------------------------------------------------------------------------
* Programa principal: idiomas, tarefa, e de volta aos menus.
*---------------------------------------------------------------------------
@inicia
escreve "Escolha as opções de tradução ou tecle escape para sair."
chama @selecionalinguaorigem
chama @selecionalinguadestino
chama @escolheroquetraduzir

se $numeroopcao = 1
@loop_traduztextodigitado
  chama @obtemtextoatraduzir
  se $textoatraduzir == "" desvia @inicia
  chama @traduzconteudo
  se $falhou = 0 chama @processaresultado
  * Sem tradução (serviço mudo ou usuário desistiu): de volta aos menus.
  se $falhou = 1 desvia @inicia
  chama @mostraresultado
  desvia @loop_traduztextodigitado
senão
se $numeroopcao = 2
  chama @obtemarquivoatraduzir
  se $arquivoatraduzir == "" desvia @inicia
  escreve "Aguarde um momento."
  escreve
  escreve "Aperte enter para saber o andamento da tradução."
  escreve "Espaço para ligar ou desligar o indicador de progresso."
  escreve "Escape para abandonar."
  chama @traduzarquivo
  se $abandonartraducao = "s" escreve "Tradução de arquivo interrompida."
  se $falhou = 1 escreve "Tradução de arquivo interrompida."
  * O que já foi traduzido fica guardado.
  se $falhou = 1 escreve "O que foi traduzido até aqui está em " $arquivodestino
  se $abandonartraducao <> "s" se $falhou = 0 escreve "Resultado salvo em " $arquivodestino
  remove $arqtemp
  desvia @inicia
senão
se $numeroopcao = 3
  chama @traduzdoclipboard
  se $falhou = 1 desvia @inicia
  escreve "Resultado copiado para  aárea de transferência"
  desvia @inicia
fim se
desvia @inicia

@desistiu
escreve "Desistiu"
termina mudo

*---------------------------------------------------------------------------
* Menus. Enter escolhe, Escape encerra o programa, outra tecla repete o menu.
* Enter com o cursor fora da lista (acima do primeiro item ou abaixo do
* último) não escolhe nada: o menu volta.
*---------------------------------------------------------------------------
@selecionalinguaorigem
seja $idi1 "Alemão"
seja $idi2 "Espanhol"
seja $idi3 "Francês"
seja $idi4 "Inglês"
seja $idi5 "Italiano"
seja $idi6 "Português"
escreve "Selecione o idioma de origem:"
menu cria 1 1 20 6
menu adiciona $idi1
menu adiciona $idi2
menu adiciona $idi3
menu adiciona $idi4
menu adiciona $idi5
menu adiciona $idi6
@fixomenuio
se $numeroio > 6 seja $numeroio 6
menu executa $numeroio $letraio $textoio
se $letraio = "#27" desvia @desistiu
se $letraio <> "#13" desvia @fixomenuio
se $numeroio < 1 desvia @fixomenuio
se $numeroio > 6 desvia @fixomenuio
se $numeroio = 1 seja $io "de"
se $numeroio = 2 seja $io "es"
se $numeroio = 3 seja $io "fr"
se $numeroio = 4 seja $io "en"
se $numeroio = 5 seja $io "it"
se $numeroio = 6 seja $io "pt"
menu termina
retorna

@selecionalinguadestino
escreve "Selecione idioma de destino:"
menu cria 1 1 20 6
menu adiciona $idi1
menu adiciona $idi2
menu adiciona $idi3
menu adiciona $idi4
menu adiciona $idi5
menu adiciona $idi6
@fixomenuid
se $numeroid > 6 seja $numeroid 6
menu executa $numeroid $letraid $textoid
se $letraid = "#27" desvia @desistiu
se $letraid <> "#13" desvia @fixomenuid
se $numeroid < 1 desvia @fixomenuid
se $numeroid > 6 desvia @fixomenuid
se $numeroid = 1 seja $id "de"
se $numeroid = 2 seja $id "es"
se $numeroid = 3 seja $id "fr"
se $numeroid = 4 seja $id "en"
se $numeroid = 5 seja $id "it"
se $numeroid = 6 seja $id "pt"
menu termina
escreve "De " $textoio " para " $textoid "."
retorna

@escolheroquetraduzir
escreve "Escolha uma opção:"
seja $primeiraopcao "Traduzir frases"
seja $segundaopcao "Traduzir arquivo"
seja $terceiraopcao "Traduzir da área de transferência"
menu cria 1 1 25 3
menu adiciona $primeiraopcao
menu adiciona $segundaopcao
menu adiciona $terceiraopcao
@fixomenu_escolheroquetraduzir
se $numeroopcao > 3 seja $numeroopcao 3
menu executa $numeroopcao $letraopcao $textoopcao
se $letraopcao = "#27" desvia @desistiu
se $letraopcao <> "#13" desvia @fixomenu_escolheroquetraduzir
se $numeroopcao < 1 desvia @fixomenu_escolheroquetraduzir
se $numeroopcao > 3 desvia @fixomenu_escolheroquetraduzir
menu termina
retorna

*---------------------------------------------------------------------------
* Frases digitadas.
*---------------------------------------------------------------------------
@obtemtextoatraduzir
escreve
escreve "Digite o texto a traduzir:"
le $textoatraduzir
ansiparautf8 $textoatraduzir
http $textoatraduzir
retorna

@mostraresultado
escreve "Editore a resposta"
escreve $resultado
le edita $resultado
retorna

*---------------------------------------------------------------------------
* Área de transferência. As quebras de linha viajam como o texto %0D, que o
* serviço devolve intacto. No Linux a área de transferência costuma trazer
* só LF; a tradução volta com as quebras que o texto trouxe.
*---------------------------------------------------------------------------
@traduzdoclipboard
seja $enter crlf
seja $lf chr "#10"
transfere para $textoatraduzir
seja t tamanho $textoatraduzir
se t >= 5000 escreve "Pode ser que o resultado saia incompleto, devido ao tamanho do conteúdo na área de transferência."
se t >= 5000 escreve "Havendo problemas, refaça a tradução usando a opção de traduzir arquivos."
seja $quebra $lf
se $textoatraduzir *=* $enter seja $quebra $enter
substitui $textoatraduzir $enter "%0D"
substitui $textoatraduzir $lf "%0D"
ansiparautf8 $textoatraduzir
http $textoatraduzir
chama @traduzconteudo
se $falhou = 0 chama @processaresultado
se $falhou = 1 retorna
substitui $resultado "%0D" $quebra
transfere de $resultado
retorna

*---------------------------------------------------------------------------
* Arquivo.
*---------------------------------------------------------------------------
@obtemarquivoatraduzir
escreve "Informe o arquivo que deseja traduzir"
le $arquivoatraduzir
* Um nome relativo vale a partir da pasta em que o programa foi aberto.
dir troca $dircorrente
se $arquivoatraduzir == "" desvia @desistiuarquivo
busca b $arquivoatraduzir
se b == "" desvia @arquivonaoencontrado
retorna
@arquivonaoencontrado
escreve "Arquivo não encontrado."
escreve "Verifique o caminho digitado e tente novamente."
desvia @obtemarquivoatraduzir
@desistiuarquivo
escreve "Desistiu."
dir troca $dirambiente
retorna

@traduzarquivo
* Cópia temporária, com as linhas longas quebradas.
seja $dirtemp $dirambiente
concatena $dirtemp "/temp"
busca b dir $dirtemp
se b == "" dir cria $dirtemp
seja $arqtemp $dirtemp
concatena $arqtemp "/tdl.temp"
remove $arqtemp &
abre #2 $arqtemp &
abre #3 $arquivoatraduzir
le #3 l
checa c
enquanto c = 0
  seja t tamanho l
  se t < 200 escreve #2 l
  se t >= 200 chama @quebralinha
  le #3 l
  checa c
fim enquanto
fecha #2
fecha #3
dir troca $dirambiente

seja $novalinha "%0D"
seja $linhasenviadas 0
seja $indicaprogresso 1
seja $diferenca 0
seja $totaldelinhas 0
seja $textoatraduzir ""
seja $falaporcento 0
seja $quantosporcento 0
seja $abandonartraducao ""
seja $falhou 0

abre #2 $arqtemp
le #2 l
checa c
enquanto c = 0
  soma $totaldelinhas 1
  le #2 l
  checa c
fim enquanto
fecha #2

* Nome do arquivo traduzido: o nome do arquivo de origem sem pastas e sem
* ".txt", mais "_", o código do idioma de destino e ".txt".
seja $dirtraduzidos $dirambiente
concatena $dirtraduzidos "/arquivos traduzidos"
busca b dir $dirtraduzidos
se b == "" dir cria $dirtraduzidos
@tirapasta
seja p pos "/" $arquivoatraduzir
se p = 0 desvia @nomedestino
soma p 1
seja t tamanho $arquivoatraduzir
copia $arquivoatraduzir $arquivoatraduzir p t
desvia @tirapasta
@nomedestino
* Só o nome perde o ".txt": uma pasta de trabalho com ".txt" no nome fica
* como está.
substitui $arquivoatraduzir ".txt" ""
substitui $arquivoatraduzir ".TXT" ""
seja $arquivodestino $dirtraduzidos
concatena $arquivodestino "/"
concatena $arquivodestino $arquivoatraduzir
concatena $arquivodestino "_"
concatena $arquivodestino $id
concatena $arquivodestino ".txt"

abre #2 $arqtemp
escreve "Iniciando a tradução"
remove $arquivodestino &
abre #3 $arquivodestino &
le #2 l
checa $acabouarquivo
enquanto $acabouarquivo = 0
  observa teclado k
  se k = 1 chama @monitorateclado
  se $abandonartraducao = "s" retorna
  soma $linhasenviadas 1
  seja t tamanho l
  copia z l t t
  ansiparautf8 l
  http l
  seja $tamlinhalocal tamanho l
  seja $tamlinhasaenviar tamanho $textoatraduzir
  seja $tamaposjuntar ($tamlinhalocal+$tamlinhasaenviar+3)
  se $tamaposjuntar <= 6815 chama @fimdelinha
  se $tamaposjuntar <= 6815 concatena $textoatraduzir l
  se $tamaposjuntar > 6815 chama @enviaestouro
  se $falhou = 1 desvia @falhaarquivo
  le #2 l
  checa $acabouarquivo
fim enquanto
fecha #2
se $textoatraduzir <> "" chama @traduzlote
se $falhou = 1 desvia @falhaarquivo
se $textoatraduzir <> "" bipa 1
fecha #3
retorna
@falhaarquivo
fecha #3
fecha #2
retorna

* O lote cheio vai primeiro; a linha que não coube vai sozinha, sem separador.
@enviaestouro
chama @traduzlote
se $falhou = 1 retorna
seja $textoatraduzir l
chama @traduzlote
se $falhou = 1 retorna
se $indicaprogresso = 1 chama @falaquantosporcento
seja $textoatraduzir ""
retorna

@traduzlote
chama @traduzconteudo
se $falhou = 0 chama @processaresultado
se $falhou = 0 escreve #3 $resultado
retorna

* Separador antes da linha: quebra de linha depois de fim de frase ou de
* linha vazia, espaço quando a linha continua a frase.
@fimdelinha
seja $separador "%20"
se z == "" seja $separador $novalinha
se ".:?!,;)]}" *=* z seja $separador $novalinha
concatena $textoatraduzir $separador
retorna

@monitorateclado
le mudo t &
se t = "#13"
  escreve "Tradução de arquivo em andamento"
  escreve
  * Calculado agora: com o indicador desligado o último valor falado é velho.
  seja $quantosporcento (($linhasenviadas*100)/$totaldelinhas)
  escreve $quantosporcento "%"
fim se
se t = " "
  seja $indicaprogresso (($indicaprogresso*-1)+1)
  se $indicaprogresso = 0 fala "Indicador de progresso desativado"
  se $indicaprogresso = 1 fala "Indicador de progresso ativado"
fim se
se t <> "#27" desvia @fimmonitor
@perguntasequerparar
escreve "Deseja parar a tradução?"
le mudo $abandonartraducao &
se $abandonartraducao = "s" chama @abandonar
se $abandonartraducao = "s" desvia @fimmonitor
se $abandonartraducao <> "n" desvia @perguntasequerparar
@fimmonitor
bipa 1
retorna

@abandonar
fecha #3
fecha #2
remove $arquivodestino
retorna

* Linha de 200 caracteres ou mais: corta no último sinal ou espaço até a
* posição 200; sem nenhum, corta na posição 200.
@quebralinha
seja p 200
@ajustaquebra
copia m l p p
se ".,?!:; " *=* m desvia @achoufimdalinha
subtrai p 1
se p > 0 desvia @ajustaquebra
seja p 200
@achoufimdalinha
copia m l 1 p
escreve #2 m
soma p 1
seja t tamanho l
copia l l p t
seja t tamanho l
se t >= 200 desvia @quebralinha
escreve #2 l
retorna

@falaquantosporcento
seja $quantosporcento (($linhasenviadas*100)/$totaldelinhas)
seja $diferenca ($quantosporcento-$falaporcento)
se $diferenca < 5 retorna
escreve $quantosporcento "%"
seja $falaporcento $quantosporcento
retorna

*---------------------------------------------------------------------------
* Pedido ao serviço de tradução. Sem conexão: um bipe e nova tentativa a
* cada 10 segundos, até o usuário desistir com escape.
*---------------------------------------------------------------------------
@traduzconteudo
seja $falhou 0
seja $tentativas 0
internet inicia
seja $metodo "GET "
seja $host "translate.google.com"
seja $porta 443
seja $useragent "pelugo"
seja $versao_http " HTTP/1.1"
seja $recurso "/m"
seja $parametros "?sl="
concatena $parametros $io
concatena $parametros "&tl="
concatena $parametros $id
concatena $parametros "&q="
concatena $parametros $textoatraduzir
@conectaservico
conecta ssl #1 $host $porta &
checa $problemasaoconectar
se $problemasaoconectar = 0 desvia @enviapedido
bipa
se $tentativas = 0 escreve "Não foi possível conectar ao serviço de tradução. Nova tentativa em 10 segundos; tecle escape para desistir."
soma $tentativas 1
seja $espera 0
@aguardareconexao
espera ms 100
observa teclado k
seja t ""
se k = 1 le mudo t &
se t = "#27" desvia @desisteconexao
soma $espera 1
se $espera < 100 desvia @aguardareconexao
desvia @conectaservico
@desisteconexao
seja $falhou 1
escreve "Tradução cancelada."
retorna
@enviapedido
escreve #1 $metodo $recurso $parametros $versao_http
escreve #1 "Host: " $host
escreve #1 "User-Agent: " $useragent
escreve #1 "Connection: Keep-Alive"
escreve #1 "Accept: */*"
escreve #1 "Accept-Encoding: identity"
escreve #1 ""
retorna

* Lê a resposta até a linha com a marca; a tradução vai do fim da marca
* (e do ">" da etiqueta) até o próximo "<". Uma resposta que termina, ou
* que se cala, sem a marca não traz tradução.
@processaresultado
le #1 $resultado
checa c
enquanto não $resultado *=* """result-container"""
  se c <> 0 desvia @semtraducao
  le #1 $resultado
  checa c
fim enquanto
fecha #1
seja p pos """result-container""" $resultado
soma p 19
seja t tamanho $resultado
copia $resultado $resultado p t
seja p pos "<" $resultado
subtrai p 1
copia $resultado $resultado 1 p
utf8paraansi $resultado
substitui $resultado "&quot;" """"
substitui $resultado "&#39;" "'"
* O serviço escreve também &, < e > como entidades; &amp; por último, para
* que "&amp;lt;" dê "&lt;" e não "<".
substitui $resultado "&lt;" "<"
substitui $resultado "&gt;" ">"
substitui $resultado "&amp;" "&"
retorna
@semtraducao
fecha #1
seja $falhou 1
seja $resultado ""
escreve "O serviço de tradução não devolveu nenhuma tradução."
retorna

*---------------------------------------------------------------------------
* Pasta de trabalho: ~/morventa-light ou, sem ela, os parâmetros do programa
* unidos por espaços (um caminho com espaços pode vir sem aspas).
*---------------------------------------------------------------------------
@pegadirambiente
seja $dirambiente ""
busca b dir "~/morventa-light"
se b <> "" seja $dirambiente "~/morventa-light"
se b <> "" retorna
seja $args params
seja q palavra 1 $args
se q = 0 desvia @errodirambiente
repete i q
  seja m palavra (i+1) $args
  substitui m "%20" " "
  concatena $dirambiente m
  concatena $dirambiente " "
fim repete
seja $dirambiente trim $dirambiente
retorna

@errodirambiente
escreve "erro."
escreve "É necessário definir um diretório de trabalho."
escreve "O diretório padrão ~/morventa-light não foi encontrado."
escreve
escreve "Verifique a instalação do programa."
escreve "Tecle enter para fechar."
le
termina mudo
